#include "editors/UserEditors.h"
#include "editors/EditorAvailability.h"
#include "editors/EditorLaunch.h"

#include "goto/TempTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace pathwicks;

namespace {

using Words = std::vector<std::string>;

std::string executable(const TempTree& tree, const std::string& name) {
    const auto path = tree.write(name, "#!/bin/sh\n");
    ::chmod(path.c_str(), 0755);
    return path;
}

} // namespace

TEST(UserEditors, ReadFromTheConfigFolderWithPlaceholdersFilledWhereverTheyStand) {
    TempTree bin, home, config;
    EditorEnvironment environment{bin.path(), home.path(), {}, "/nonexistent"};
    EXPECT_EQ(userEditorsFile(environment), home.path(".config/pathwicks/editors.json"));
    environment.variables["XDG_CONFIG_HOME"] = "relative/config"; // ignored, as the standard says
    EXPECT_EQ(userEditorsFile(environment), home.path(".config/pathwicks/editors.json"));
    environment.variables["XDG_CONFIG_HOME"] = config.path();
    // No file: no editors, nothing wrong.
    const UserEditors none = readUserEditors(environment);
    EXPECT_TRUE(none.editors.empty());
    EXPECT_EQ(none.problem, "");

    config.write("pathwicks/editors.json", R"({"editors": [
        {"name": "Nvim Server", "command": ["nvim", "--server", "{folder}/.nvim.sock",
         "--remote", "{file}"]},
        {"name": "Kate", "command": ["/opt/kate/bin/kate", "-l", "{line}", "{file}"],
         "terminal": false},
        {"name": "Micro", "command": ["micro", "{file}:{line}:{line}"], "terminal": true}
    ]})");
    const UserEditors read = readUserEditors(environment);
    ASSERT_EQ(read.problem, "");
    ASSERT_EQ(read.editors.size(), 3u);
    EXPECT_TRUE(read.editors[2].terminal);
    // {file} holding a brace pattern of its own is not filled again.
    EXPECT_EQ(fillPlaceholders(read.editors[2].command, "/p/{line}.c", 4, "/p"),
              (Words{"micro", "/p/{line}.c:4:4"}));
    EXPECT_EQ(fillPlaceholders(read.editors[0].command, "/p/x.c", 4, "/p/{folder}"),
              (Words{"nvim", "--server", "/p/{folder}/.nvim.sock", "--remote", "/p/x.c"}));

    const OpenPlace place{"/p/x.c", 9, "/p"};
    const auto open = [&](std::string_view name) {
        return resolveEditor(name, place, environment, read);
    };
    // Not installed until its program is found; an absolute program is taken as it is.
    EXPECT_NE(open("Nvim Server").why.find("Nvim Server is not installed"), std::string::npos);
    const std::string nvim = executable(bin, "nvim");
    EXPECT_EQ(open("Nvim Server").program, nvim);
    const std::string micro = executable(bin, "micro");
    const std::string xterm = executable(bin, "xterm");
    EXPECT_EQ(open("Micro").words(), (Words{xterm, "-e", micro, "/p/x.c:9:9"}));

    // The pop-up lists the user's names after the catalogue's; a catalogue name is replaced.
    EditorAvailability editors;
    editors.detectEditors(environment);
    const auto names = editors.editorNames();
    EXPECT_EQ(names.back(), "Micro");
    EXPECT_EQ(names[names.size() - 2], "Nvim Server");
    EXPECT_EQ(std::count(names.begin(), names.end(), "Kate"), 1);
    EXPECT_TRUE(editors.isEditorAvailable("Nvim Server"));
    EXPECT_TRUE(editors.isUserEditorOnly("Micro"));
    EXPECT_FALSE(editors.isUserEditorOnly("Kate"));
    EXPECT_FALSE(editors.isEditorAvailable("Kate")); // its own command's program is missing
    executable(bin, "kate");                         // the catalogue's launcher does not count
    editors.detectEditors(environment);
    EXPECT_FALSE(editors.isEditorAvailable("Kate"));
}

TEST(UserEditors, ABrokenFileIsNamedWithItsProblemAndGivesNoEditors) {
    const std::string file = "/home/u/.config/pathwicks/editors.json";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"{\"editors\": [", "not JSON"},
        {"[]", "not an object"},
        {"{}", "no \"editors\" list"},
        {R"({"editors": {"name": "X"}})", "no \"editors\" list"},
        {R"({"editors": [3]})", "editor 1 is not an object"},
        {R"({"editors": [{"command": ["x", "{file}"]}]})", "editor 1 has no \"name\""},
        {R"({"editors": [{"name": "", "command": ["x", "{file}"]}]})", "has no \"name\""},
        {R"({"editors": [{"name": "A"}]})", "editor 1 (A) has no \"command\" list"},
        {R"({"editors": [{"name": "A", "command": "x {file}"}]})", "has no \"command\" list"},
        {R"({"editors": [{"name": "A", "command": []}]})", "(A) has an empty \"command\""},
        {R"({"editors": [{"name": "A", "command": ["x", 3]}]})", "not text"},
        {R"({"editors": [{"name": "A", "command": ["", "{file}"]}]})", "empty program"},
        {R"({"editors": [{"name": "A", "command": ["x", "{line}"]}]})", "no {file}"},
        {R"({"editors": [{"name": "A", "command": ["{file}"]}]})", "no {file}"},
        {R"({"editors": [{"name": "A", "command": ["x", "{file}"], "terminal": "yes"}]})",
         "neither true nor false"},
        {R"({"editors": [{"name": "A", "command": ["x", "{file}"]},
                         {"name": "A", "command": ["y", "{file}"]}]})",
         "editor 2 (A) has the name of an earlier one"},
        {R"({"editors": [{"name": "Safari", "command": ["x", "{file}"]}]})", "web links"},
        // A file name never goes where a program reads commands or keystrokes.
        {R"({"editors": [{"name": "A", "command": ["nvim", "--server", "s", "--remote-send",
                                                   "<C-\\><C-N>:edit +{line} {file}<CR>"]}]})",
         "puts a file name inside \"<C-\\><C-N>:edit +{line} {file}<CR>\", which a program reads"},
        {R"({"editors": [{"name": "A", "command": ["sh", "-c", "vi {file}"]}]})", "inside \"vi {file}\""},
        {R"({"editors": [{"name": "A", "command": ["vim", "+e {file}", "{file}"]}]})", "inside \"+e {file}\""},
        {R"j({"editors": [{"name": "A", "command": ["emacsclient", "--eval=(find-file \"{file}\")", "{file}"]}]})j",
         "reads as commands"},
        {R"({"editors": [{"name": "A", "command": ["x", "{file}", "-c", "cd {folder}"]}]})", "{folder}"},
    };
    for (const auto& [text, problem] : cases) {
        const UserEditors read = parseUserEditors(text, file);
        EXPECT_TRUE(read.editors.empty()) << text;
        EXPECT_TRUE(read.problem.starts_with(file + ": ")) << read.problem;
        EXPECT_NE(read.problem.find(problem), std::string::npos) << read.problem;
        EXPECT_EQ(read.problem.find('\n'), std::string::npos) << read.problem;
    }

    // The catalogue goes on working beside a broken file, and a file that cannot be read is
    // named as well.
    TempTree bin, home;
    home.write(".config/pathwicks/editors.json", "{oops");
    const std::string code = executable(bin, "code");
    const EditorEnvironment environment{bin.path(), home.path(), {}, "/nonexistent"};
    EditorAvailability editors;
    editors.detectEditors(environment);
    EXPECT_NE(editors.userEditors().problem.find("editors.json: not JSON"), std::string::npos);
    EXPECT_TRUE(editors.isEditorAvailable("VS Code"));
    std::filesystem::remove(home.path(".config/pathwicks/editors.json"));
    std::filesystem::create_directory(home.path(".config/pathwicks/editors.json"));
    EXPECT_NE(readUserEditors(environment).problem.find("editors.json"), std::string::npos);
}
