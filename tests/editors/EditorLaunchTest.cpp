#include "editors/EditorLaunch.h"
#include "editors/EditorAvailability.h"
#include "editors/ShellWords.h"

#include "goto/TempTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace pathwicks;

namespace {

std::string executable(const TempTree& tree, const std::string& name) {
    const auto path = tree.write(name, "#!/bin/sh\n");
    ::chmod(path.c_str(), 0755);
    return path;
}

using Words = std::vector<std::string>;

// The words of a launch that starts one program, without asking a server first.
Words wordsOf(const EditorLaunch& launch) {
    if (!launch.runs()) {
        ADD_FAILURE() << launch.why;
        return {};
    }
    EXPECT_TRUE(launch.server.empty());
    return launch.words();
}

std::string problemOf(const EditorLaunch& launch) {
    return launch.runs() ? "(opens)" : launch.why;
}

class EditorLaunchTest : public ::testing::Test {
protected:
    EditorLaunch open(std::string_view name) {
        return resolveEditor(name, place, environment, userEditors);
    }

    TempTree bin, home, root;
    EditorEnvironment environment{bin.path(), home.path(), {}, root.path()};
    UserEditors userEditors;
    const OpenPlace place{"/src/a b.c", 12, "/src"};
    const std::string file = "/src/a b.c";
};

} // namespace

TEST_F(EditorLaunchTest, EachEditorsCommandLineFromItsLauncherOnPath) {
    const std::string term = executable(bin, "x-terminal-emulator");
    struct Case {
        std::string name;
        std::string launcher;
        Words arguments;
    };
    const std::vector<Case> cases{
        {"VSCodium", "codium", {"--goto", file + ":12:1"}},
        {"Cursor", "cursor", {"--goto", file + ":12:1"}},
        {"Zed", "zed", {file + ":12:1"}},
        {"IntelliJ IDEA", "idea", {"--line", "12", file}},
        {"CLion", "clion", {"--line", "12", file}},
        {"PyCharm", "pycharm", {"--line", "12", file}},
        {"GoLand", "goland", {"--line", "12", file}},
        {"Rider", "rider", {"--line", "12", file}},
        {"RustRover", "rustrover", {"--line", "12", file}},
        {"PhpStorm", "phpstorm", {"--line", "12", file}},
        {"Kate", "kate", {"--line", "12", file}},
        {"gedit", "gedit", {"+12", file}},
        {"Geany", "geany", {"--line", "12", file}},
        {"Qt Creator", "qtcreator", {"-client", file + ":12:1"}},
        {"System Default", "xdg-open", {file}},
    };
    for (const auto& c : cases) {
        const std::string launcher = executable(bin, c.launcher);
        Words expected{launcher};
        expected.insert(expected.end(), c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(wordsOf(open(c.name)), expected) << c.name;
    }
    // The terminal editors run in the user's terminal, their words passed one by one.
    const std::vector<Case> inTerminal{{"Vim", "vim", {"+12", file}},
                                       {"Neovim", "nvim", {"+12", file}},
                                       {"Helix", "hx", {file + ":12:1"}}};
    for (const auto& c : inTerminal) {
        const std::string launcher = executable(bin, c.launcher);
        Words expected{term, "-e", launcher};
        expected.insert(expected.end(), c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(wordsOf(open(c.name)), expected) << c.name;
    }
}

TEST_F(EditorLaunchTest, OtherLauncherNamesAndTheUsualInstallPlaces) {
    struct Case {
        std::string name;
        std::string place; // under root, or "~/" under home
        Words arguments;
    };
    const std::vector<Case> cases{
        {"Zed", "/usr/bin/zeditor", {file + ":12:1"}},
        {"VSCodium", "/snap/bin/codium", {"--goto", file + ":12:1"}},
        {"VSCodium", "/var/lib/flatpak/exports/bin/com.vscodium.codium", {"--goto", file + ":12:1"}},
        {"Zed", "~/.local/share/flatpak/exports/bin/dev.zed.Zed", {file + ":12:1"}},
        {"CLion", "/opt/clion/bin/clion.sh", {"--line", "12", file}},
        {"PyCharm", "/usr/bin/pycharm-community", {"--line", "12", file}},
        {"PyCharm", "/snap/bin/pycharm-professional", {"--line", "12", file}},
        {"IntelliJ IDEA", "~/.local/share/JetBrains/Toolbox/scripts/idea", {"--line", "12", file}},
        {"Kate", "/var/lib/flatpak/exports/bin/org.kde.kate", {"--line", "12", file}},
        {"Qt Creator", "~/Qt/Tools/QtCreator/bin/qtcreator", {"-client", file + ":12:1"}},
        {"Emacs", "/snap/bin/emacs", {"+12", file}},
    };
    for (const auto& c : cases) {
        const bool inHome = c.place.starts_with("~/");
        const std::string launcher =
            executable(inHome ? home : root, c.place.substr(inHome ? 2 : 1));
        Words expected{launcher};
        expected.insert(expected.end(), c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(wordsOf(open(c.name)), expected) << c.place;
        std::filesystem::remove(launcher);
    }
    // A .sh launcher on PATH, as a tarball's bin folder gives.
    const std::string sh = executable(bin, "rustrover.sh");
    EXPECT_EQ(wordsOf(open("RustRover")), (Words{sh, "--line", "12", file}));
}

TEST_F(EditorLaunchTest, EmacsAsksARunningServerFirst) {
    const std::string emacs = executable(bin, "emacs");
    EXPECT_EQ(wordsOf(open("Emacs")), (Words{emacs, "+12", file}));

    const std::string client = executable(bin, "emacsclient");
    const EditorLaunch both = open("Emacs");
    ASSERT_TRUE(both.runs()) << both.why;
    EXPECT_EQ(both.server, (Words{client, "-n", "+12", file}));
    EXPECT_EQ(both.words(), (Words{emacs, "+12", file}));

    // Debian's emacs-nox, reached through its alternative link, starts in the user's terminal.
    std::filesystem::remove(emacs);
    std::filesystem::remove(client);
    const std::string nox = executable(root, "usr/bin/emacs-nox");
    std::filesystem::create_symlink(nox, bin.path("emacs"));
    EXPECT_NE(problemOf(open("Emacs")).find("no terminal"), std::string::npos);
    const std::string xterm = executable(bin, "xterm");
    EXPECT_EQ(wordsOf(open("Emacs")), (Words{xterm, "-e", emacs, "+12", file}));
}

TEST_F(EditorLaunchTest, OneValueSaysWhatRunsAndInWhichTerminalOrWhyNothingCan) {
    const std::string vim = executable(bin, "vim");
    const std::string xterm = executable(bin, "xterm");
    const std::string kate = executable(bin, "kate");
    executable(bin, "xdg-open");
    userEditors.editors = {{"Kate", {"kate", "-l", "{line}", "{file}"}, false},
                           {"Micro", {"micro", "{file}"}, true}};
    const EditorLaunch inTerminal = open("Vim");
    EXPECT_EQ(inTerminal.terminal, (Words{xterm, "-e"}));
    EXPECT_EQ(inTerminal.program, vim);
    EXPECT_EQ(inTerminal.arguments, (Words{"+12", file}));
    // The user's editor of a catalogue name replaces its command, not its goto tool.
    const EditorLaunch own = open("Kate");
    EXPECT_EQ(own.words(), (Words{kate, "-l", "12", file}));
    EXPECT_EQ(own.editor.gotoTool(), "kate-goto");
    EXPECT_EQ(chooseEditor("Micro", userEditors).gotoTool(), "custom-goto");
    EXPECT_TRUE(open("Kate").atLine);
    EXPECT_FALSE(open("System Default").atLine);

    std::filesystem::remove(xterm);
    const std::string editorsFile = home.path(".config/pathwicks/editors.json");
    const std::vector<std::tuple<EditorLaunch, LaunchProblem, std::string>> cases{
        {open("Vim"), LaunchProblem::noTerminal, "no terminal was found to run Vim in"},
        {open("Micro"), LaunchProblem::notInstalled, "Micro is not installed: “micro” was not"},
        {open("Atom"), LaunchProblem::notInstalled, "Atom is not installed"},
        {open("Safari"), LaunchProblem::webLink, "Safari opens web addresses, not files"},
        {open("Notepad"), LaunchProblem::unknownEditor, "no editor named “Notepad” in " + editorsFile},
        {resolveEditor(chooseUserEditor("Vim", userEditors), place, environment),
         LaunchProblem::unknownEditor, "no editor named “Vim”"},
        {resolveEditor(chooseUserEditor("Kate", {{}, "x: not JSON"}), place, environment),
         LaunchProblem::userEditorsBroken, "x: not JSON"},
    };
    for (const auto& [launch, problem, why] : cases) {
        EXPECT_EQ(launch.problem, problem) << launch.editor.name;
        EXPECT_TRUE(launch.why.starts_with(why)) << launch.why;
    }
}

TEST_F(EditorLaunchTest, TheTerminalEditorAndTheUsersTerminalInTheirOrder) {
    // No terminal at all: the terminal editors cannot be started.
    executable(bin, "vim");
    EXPECT_NE(problemOf(open("Vim")).find("no terminal"), std::string::npos);

    // Each terminal is used when those before it are missing.
    const std::string xterm = executable(bin, "xterm");
    EXPECT_EQ(usersTerminal(environment), (Words{xterm, "-e"}));
    const std::string konsole = executable(bin, "konsole");
    EXPECT_EQ(usersTerminal(environment), (Words{konsole, "-e"}));
    const std::string gnome = executable(bin, "gnome-terminal");
    EXPECT_EQ(usersTerminal(environment), (Words{gnome, "--"}));
    const std::string debian = executable(bin, "x-terminal-emulator");
    EXPECT_EQ(usersTerminal(environment), (Words{debian, "-e"}));
    const std::string exec = executable(bin, "xdg-terminal-exec");
    EXPECT_EQ(usersTerminal(environment), (Words{exec}));
    environment.variables["TERMINAL"] = "absent-terminal"; // not installed: passed over
    EXPECT_EQ(usersTerminal(environment), (Words{exec}));
    const std::string kitty = executable(bin, "kitty");
    environment.variables["TERMINAL"] = "kitty --single-instance";
    EXPECT_EQ(usersTerminal(environment), (Words{kitty, "--single-instance", "-e"}));
    environment.variables["TERMINAL"] = "kitty";

    // Terminal Editor: $VISUAL, else $EDITOR, else `editor`, split as a shell would.
    EXPECT_NE(problemOf(open("Terminal Editor")).find("VISUAL or EDITOR"), std::string::npos);
    const std::string debianEditor = executable(bin, "editor");
    EXPECT_EQ(wordsOf(open("Terminal Editor")), (Words{kitty, "-e", debianEditor, "+12", file}));
    const std::string nano = executable(bin, "nano");
    environment.variables["EDITOR"] = "nano -l";
    EXPECT_EQ(wordsOf(open("Terminal Editor")), (Words{kitty, "-e", nano, "-l", "+12", file}));
    const std::string code = executable(bin, "code");
    environment.variables["VISUAL"] = "code --wait  '--profile=My Work'";
    EXPECT_EQ(wordsOf(open("Terminal Editor")),
              (Words{kitty, "-e", code, "--wait", "--profile=My Work", "+12", file}));
    environment.variables["VISUAL"] = "'code --wait";
    EXPECT_NE(problemOf(open("Terminal Editor")).find("quote"), std::string::npos);
    environment.variables["VISUAL"] = "micro";
    EXPECT_NE(problemOf(open("Terminal Editor")).find("“micro”, which is not installed"),
              std::string::npos);
}

TEST(ShellWords, SplitsAsAShellDoesWithoutExpanding) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(shellWords("  vim  -p\t+1 "), (Words{"vim", "-p", "+1"}));
    EXPECT_EQ(shellWords(R"('a b'"c d"e\ f)"), (Words{"a bc de f"}));
    EXPECT_EQ(shellWords(R"("a \"q\" \$HOME \n" '$HOME\')"),
              (Words{R"(a "q" $HOME \n)", R"($HOME\)"}));
    EXPECT_EQ(shellWords("'' \"\""), (Words{"", ""}));
    EXPECT_EQ(shellWords("a; rm -rf ~ | b"), (Words{"a;", "rm", "-rf", "~", "|", "b"}));
    EXPECT_EQ(shellWords(""), Words{});
    EXPECT_EQ(shellWords("'open"), std::nullopt);
    EXPECT_EQ(shellWords("\"open"), std::nullopt);
}

TEST(EditorAvailability, InstalledMeansItsCommandCanBeMadeAndChoosesTheNewBoxesEditor) {
    TempTree bin, home, root;
    // Install places under a root of the test's own, so that what this machine has does not count.
    const EditorEnvironment environment{bin.path(), home.path(), {}, root.path()};
    EditorAvailability editors;
    editors.detectEditors(environment);
    // Nothing installed: new boxes get System Default all the same.
    EXPECT_EQ(editors.newReferenceEditor(std::nullopt), "System Default");
    EXPECT_FALSE(editors.isEditorAvailable("System Default"));

    executable(bin, "xdg-open");
    executable(bin, "vim");
    executable(bin, "geany");
    editors.detectEditors(environment);
    EXPECT_TRUE(editors.isEditorAvailable("System Default"));
    EXPECT_TRUE(editors.isEditorAvailable("Geany"));
    EXPECT_FALSE(editors.isEditorAvailable("Vim")); // no terminal to run it in
    EXPECT_EQ(editors.newReferenceEditor(std::nullopt), "Geany");
    executable(bin, "xterm");
    executable(home, ".local/share/JetBrains/Toolbox/scripts/goland");
    editors.detectEditors(environment);
    EXPECT_TRUE(editors.isEditorAvailable("Vim"));
    EXPECT_EQ(editors.newReferenceEditor(std::nullopt), "GoLand");
    // The last choice wins while it is installed, but never the web link.
    EXPECT_EQ(editors.newReferenceEditor("Vim"), "Vim");
    EXPECT_EQ(editors.newReferenceEditor("Kate"), "GoLand");
    EXPECT_EQ(editors.newReferenceEditor("Safari"), "GoLand");
    EXPECT_EQ(editors.newReferenceEditor("Xcode"), "GoLand");
    executable(bin, "code");
    editors.detectEditors(environment);
    EXPECT_EQ(editors.newReferenceEditor(""), "VS Code");
}
