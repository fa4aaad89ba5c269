#include "panel/EditorCatalogue.h"
#include "panel/GotoTool.h"

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
    EXPECT_EQ(names,
              (std::vector<std::string>{"Xcode", "Android Studio", "Atom", "Sublime", "Sublime 2",
                                        "WebStorm", "TextMate", "VS Code", "Safari"}));
    EXPECT_EQ(editorKey("My Editor"), "myeditor");
    EXPECT_EQ(findEditor("vs code"), nullptr); // names compare exactly
}

TEST(EditorCatalogue, OpensFileAtLineInEachEditorsOwnForm) {
    const std::string file = "/src/a b.c";
    EXPECT_EQ(editorArguments(*findEditor("VS Code"), file, 12),
              (std::vector<std::string>{"--goto", "/src/a b.c:12"}));
    EXPECT_EQ(editorArguments(*findEditor("Sublime 2"), file, 1),
              (std::vector<std::string>{"/src/a b.c:1"}));
    EXPECT_EQ(editorArguments(*findEditor("WebStorm"), file, 7),
              (std::vector<std::string>{"--line", "7", file}));
    EXPECT_EQ(editorArguments(*findEditor("TextMate"), file, 7),
              (std::vector<std::string>{"-l", "7", file}));
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

TEST(GotoToolPath, NamesTheKeysToolInsideResources) {
    EXPECT_EQ(gotoToolPath("VS Code", "/B"), "/B/Contents/Resources/vscode-goto");
    EXPECT_EQ(gotoToolPath("Sublime 2", "/B"), "/B/Contents/Resources/sublime2-goto");
    EXPECT_EQ(gotoToolPath("Android Studio", "/B"), "/B/Contents/Resources/androidstudio-goto");
    EXPECT_EQ(gotoToolPath("My Editor", "/B"), "/B/Contents/Resources/myeditor-goto");
    const auto own = gotoToolPath("Atom");
    ASSERT_TRUE(own);
    EXPECT_TRUE(own->ends_with("/lib/pathwicks/Contents/Resources/atom-goto")) << *own;
}

TEST(GotoToolPath, RefusesNamesThatWouldLeaveResources) {
    for (const std::string& name :
         std::vector<std::string>{"../../bin/sh", "a/b", "/bin/sh", "..", ". .", "x..y", "", "   ",
                                  std::string("vscode\0/x", 9)})
        EXPECT_EQ(gotoToolPath(name, "/B"), std::nullopt) << name;
    EXPECT_EQ(gotoToolPath("VS Code", ""), std::nullopt);
}
