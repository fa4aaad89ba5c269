#include "editors/EditorCatalogue.h"
#include "editors/EditorAvailability.h"

#include "goto/TempTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace pathwicks;

TEST(EditorCatalogue, NamesAndKeysInCatalogueOrder) {
    std::vector<std::string> names, keys;
    for (const auto& editor : editorCatalogue()) {
        names.emplace_back(editor.name);
        keys.emplace_back(editor.key);
        EXPECT_EQ(editorKey(editor.name), editor.key);
        EXPECT_EQ(editor.hasGotoTool, editor.name != "Safari");
        EXPECT_EQ(findEditor(editor.name), &editor);
        EXPECT_EQ(findEditorByKey(editor.key), &editor);
    }
    EXPECT_EQ(names, (std::vector<std::string>{
                         "Xcode",    "Android Studio",  "Atom",           "Sublime",  "Sublime 2",
                         "WebStorm", "TextMate",        "VS Code",        "VSCodium", "Cursor",
                         "Zed",      "IntelliJ IDEA",   "CLion",          "PyCharm",  "GoLand",
                         "Rider",    "RustRover",       "PhpStorm",       "Kate",     "gedit",
                         "Geany",    "Qt Creator",      "Emacs",          "Vim",      "Neovim",
                         "Helix",    "Terminal Editor", "System Default", "Safari"}));
    EXPECT_EQ(keys[11], "intellijidea");
    EXPECT_EQ(keys[21], "qtcreator");
    EXPECT_EQ(editorKey("My Editor"), "myeditor");
    // The build made a goto tool for exactly these keys, read from the catalogue's source.
    std::string built;
    for (const auto& key : gotoToolKeys())
        built += (built.empty() ? "" : " ") + key;
    EXPECT_EQ(built, PATHWICKS_BUILT_GOTO_KEYS);
    EXPECT_EQ(findEditor("vs code"), nullptr); // names compare exactly
}

TEST(EditorCatalogue, OpensFileAtLineInEachEditorsOwnForm) {
    const std::string file = "/src/a b.c";
    EXPECT_EQ(editorArguments(*findEditor("VS Code"), file, 12),
              (std::vector<std::string>{"--goto", "/src/a b.c:12:1"}));
    EXPECT_EQ(editorArguments(*findEditor("Sublime 2"), file, 1),
              (std::vector<std::string>{"/src/a b.c:1:1"}));
    // A name that ends as a line does is not read as one: a column always follows the line.
    EXPECT_EQ(editorArguments(*findEditor("Zed"), "/src/settings.py:1", 12),
              (std::vector<std::string>{"/src/settings.py:1:12:1"}));
    EXPECT_EQ(editorArguments(*findEditor("WebStorm"), file, 7),
              (std::vector<std::string>{"--line", "7", file}));
    EXPECT_EQ(editorArguments(*findEditor("TextMate"), file, 7),
              (std::vector<std::string>{"-l", "7", file}));
    EXPECT_EQ(editorArguments(*findEditor("gedit"), file, 7),
              (std::vector<std::string>{"+7", file}));
    EXPECT_EQ(editorArguments(*findEditor("Qt Creator"), file, 7),
              (std::vector<std::string>{"-client", file + ":7:1"}));
    EXPECT_EQ(editorArguments(*findEditor("System Default"), file, 7),
              (std::vector<std::string>{file}));
}

TEST(EditorCatalogue, FindsLaunchersOnPathFirstThenAtInstallLocations) {
    TempTree first, second, home;
    const auto executable = [](const TempTree& tree, const std::string& name) {
        const auto path = tree.write(name, "#!/bin/sh\n");
        ::chmod(path.c_str(), 0755);
        return path;
    };
    const Editor& sublime = *findEditor("Sublime");
    // Only sublime_text is installed; then subl, preferred, in a later folder of PATH.
    const auto sublimeText = executable(first, "sublime_text");
    const std::string path = first.path() + ":" + second.path();
    EXPECT_EQ(findLauncher(sublime, path, home.path()), sublimeText);
    const auto subl = executable(second, "subl");
    EXPECT_EQ(findLauncher(sublime, path, home.path()), subl);

    // Not executable, a folder, or on a relative PATH entry: not a launcher.
    TempTree odd;
    odd.write("code", "not executable");
    std::filesystem::create_directory(odd.path("atom"));
    EXPECT_EQ(findOnPath("code", odd.path()), std::nullopt);
    EXPECT_EQ(findOnPath("atom", odd.path()), std::nullopt);
    EXPECT_EQ(findOnPath("subl", "::relative"), std::nullopt);
    EXPECT_EQ(findOnPath("../subl", second.path() + "/x"), std::nullopt);

#ifndef __APPLE__
    // JetBrains Toolbox puts its launchers in the home folder.
    const auto toolbox = executable(home, ".local/share/JetBrains/Toolbox/scripts/webstorm");
    EXPECT_EQ(findLauncher(*findEditor("WebStorm"), odd.path(), home.path()), toolbox);
#endif
}

TEST(EditorAvailability, FindsLaunchersOnThePathAsTheGotoToolsDo) {
    TempTree tree;
    const std::string atom = tree.write("bin/atom", "#!/bin/sh\n");
    ::chmod(atom.c_str(), 0755);
    tree.write("bin/mate", "not executable");

    EditorAvailability editors;
    EXPECT_TRUE(editors.isEditorAvailable("Safari"));
#ifndef __APPLE__
    EXPECT_FALSE(editors.isEditorAvailable("Xcode")); // nothing here opens it
#endif
    EXPECT_FALSE(editors.isEditorAvailable("Atom")); // nothing detected yet
    editors.detectEditors(tree.path("bin"), tree.path());
    EXPECT_TRUE(editors.isEditorAvailable("Atom"));
    EXPECT_FALSE(editors.isEditorAvailable("TextMate"));
    EXPECT_FALSE(editors.isEditorAvailable("atom"));      // names compare exactly
    EXPECT_FALSE(editors.isEditorAvailable("My Editor")); // never in the pop-up
    EXPECT_FALSE(editors.isEditorAvailable("Select All"));

    // A folder on PATH under two names is read once; the folders after it are still read.
    std::filesystem::create_directory_symlink(tree.path("bin"), tree.path("link"));
    const std::string subl = tree.write("more/subl", "#!/bin/sh\n");
    ::chmod(subl.c_str(), 0755);
    EditorAvailability again;
    again.detectEditors(tree.path("link") + ":" + tree.path("bin") + ":" + tree.path("more"),
                        tree.path());
    EXPECT_TRUE(again.isEditorAvailable("Atom"));
    EXPECT_TRUE(again.isEditorAvailable("Sublime"));
    EXPECT_FALSE(again.isEditorAvailable("TextMate"));
}
