#include "panel/ReferenceLauncher.h"
#include "panel/GotoTool.h"

#include <gtest/gtest.h>

using namespace pathwicks;

namespace {

class FakeLaunchHost : public LaunchHost {
public:
    std::optional<std::string> startProgram(const std::string& program,
                                            const std::vector<std::string>& arguments) override {
        started.push_back(program);
        startedArguments = arguments;
        return startFailure;
    }
    std::optional<std::string> openUrl(const std::string& address) override {
        opened.push_back(address);
        return std::nullopt;
    }
    bool isExecutable(const std::string&) const override { return toolsPresent; }

    std::vector<std::string> started;
    std::vector<std::string> startedArguments;
    std::vector<std::string> opened;
    std::optional<std::string> startFailure;
    bool toolsPresent = true;
};

Reference reference(const std::string& editor, const std::string& title = "Parse") {
    Reference r;
    r.id = "pathwick-1F2E";
    r.editor = editor;
    r.title = title;
    return r;
}

const std::string bundle = "/opt/p/lib/pathwicks";
const std::string folder = "/home/u/calc";

} // namespace

TEST(ReferenceLauncher, StartsTheEditorsGotoToolWithTheFolderAndTheIdOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"VS Code", "vscode-goto"},
        {"Sublime 2", "sublime2-goto"},
        {"Android Studio", "androidstudio-goto"},
        {"Xcode", "xcode-goto"},
        {"My Editor", "myeditor-goto"}, // a hand-written name still gets its tool
    };
    for (const auto& [editor, tool] : cases) {
        FakeLaunchHost host;
        EXPECT_EQ(launchEditor(reference(editor), folder, bundle, host), std::nullopt);
        EXPECT_EQ(host.started, std::vector<std::string>{bundle + "/Contents/Resources/" + tool});
        EXPECT_EQ(host.startedArguments, (std::vector<std::string>{folder, "pathwick-1F2E"}));
    }
    // An editor name that would lead out of the Resources folder opens nothing.
    FakeLaunchHost host;
    EXPECT_TRUE(launchEditor(reference("../../bin/sh"), folder, bundle, host));
    EXPECT_TRUE(host.started.empty());
}

TEST(ReferenceLauncher, TheUsersOwnEditorsOpenThroughCustomGotoWithTheirName) {
    UserEditors own;
    own.editors = {{"Nvim Server", {"nvim", "{file}"}, false}, {"Kate", {"kate", "{file}"}, false}};
    FakeLaunchHost host;
    EXPECT_EQ(launchEditor(reference("Nvim Server"), folder, bundle, host, own), std::nullopt);
    EXPECT_EQ(host.started, std::vector<std::string>{bundle + "/Contents/Resources/custom-goto"});
    EXPECT_EQ(host.startedArguments,
              (std::vector<std::string>{folder, "pathwick-1F2E", "Nvim Server"}));
    // A catalogue name keeps its own tool, which reads the user's command itself.
    EXPECT_EQ(launchEditor(reference("Kate"), folder, bundle, host, own), std::nullopt);
    EXPECT_EQ(host.started.back(), bundle + "/Contents/Resources/kate-goto");
    EXPECT_EQ(host.startedArguments, (std::vector<std::string>{folder, "pathwick-1F2E"}));
}

TEST(ReferenceLauncher, ToolNoticesGiveTheToolsWordsAndWhatToDo) {
    EXPECT_EQ(toolNotice("Parse", 0, ""), std::nullopt);
    EXPECT_EQ(toolNotice("Parse", 0, "/src/a.c:12\n"),
              "“Parse”: /src/a.c opened at its start: the marker is on line 12.");
    EXPECT_EQ(toolNotice("Parse", 1, "vscode-goto: no line marked // pathwick-1 under /src\n"),
              "“Parse” could not be opened: no line marked // pathwick-1 under /src. Copy its "
              "marker line into the code, or attach the box to another marker.");
    EXPECT_EQ(toolNotice("Parse", 3, "kate-goto: Kate is not installed\n"),
              "“Parse” could not be opened: Kate is not installed. Choose another editor in the "
              "panel, or install this one.");
    const auto unreadable = toolNotice("Parse", 2, "zed-goto: not a readable folder: /x: gone\n");
    ASSERT_TRUE(unreadable);
    EXPECT_NE(unreadable->find("not a readable folder: /x: gone. Check"), std::string::npos);
    const auto crashed = toolNotice("Parse", -1, "");
    ASSERT_TRUE(crashed);
    EXPECT_NE(crashed->find("stopped unexpectedly"), std::string::npos);
}

TEST(ReferenceLauncher, AMissingToolOrAFailedStartIsReported) {
    FakeLaunchHost host;
    host.toolsPresent = false;
    auto message = launchEditor(reference("Atom"), folder, bundle, host);
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("atom-goto"), std::string::npos);
    EXPECT_TRUE(host.started.empty());

    host.toolsPresent = true;
    host.startFailure = "Permission denied";
    EXPECT_EQ(launchEditor(reference("Atom"), folder, bundle, host), "Permission denied");
}

TEST(ReferenceLauncher, WebReferencesOpenOnlyHttpAndHttpsAddresses) {
    FakeLaunchHost host;
    EXPECT_FALSE(
        launchEditor(reference("Safari", "Docs,https://example.org/a"), folder, bundle, host));
    EXPECT_FALSE(
        launchEditor(reference("Safari", "Map,HTTP://example.org/?q=a,b"), folder, bundle, host));
    EXPECT_EQ(host.opened,
              (std::vector<std::string>{"https://example.org/a", "HTTP://example.org/?q=a,b"}));

    // Other schemes could start programs: they are refused with the reason.
    for (const char* title : {"Run,file:///usr/bin/xterm", "x,javascript:alert(1)", "x,ssh://host",
                              "x,https:", "x, https://example.org", "No address at all"}) {
        auto message = launchEditor(reference("Safari", title), folder, bundle, host);
        EXPECT_TRUE(message) << title;
    }
    EXPECT_EQ(host.opened.size(), 2u);
    EXPECT_TRUE(host.started.empty());
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

// A box whose editor is not installed opens in the reader's own, told once for the document;
// the box keeps its editor, web links still open in the browser, and "always mine" opens every
// box in the reader's editor without a word.
TEST(ReferenceLauncher, TheReadersEditorStandsInForOneNotInstalled) {
    EditorAvailability editors;
    editors.setInstalled("Kate", false);
    editors.setInstalled("VS Code", true);
    EditorPreferences preferences;
    EXPECT_EQ(myEditor(preferences, editors), "VS Code"); // the first installed of the list
    FakeLaunchHost host;
    BoxOpener opener;
    const Reference kate = reference("Kate");
    const auto first = opener.open(kate, folder, bundle, host, editors, preferences);
    EXPECT_EQ(first.failure, std::nullopt);
    EXPECT_EQ(first.notice, "Kate is not installed here; opened in VS Code. Choose your editor "
                            "in Preferences.");
    EXPECT_EQ(host.started.back(), bundle + "/Contents/Resources/vscode-goto");
    EXPECT_EQ(kate.editor, "Kate");
    EXPECT_EQ(opener.open(kate, folder, bundle, host, editors, preferences).notice, std::nullopt);
    EXPECT_EQ(host.started.size(), 2u);

    EXPECT_EQ(opener.open(reference("Safari", "Docs,https://example.org"), folder, bundle, host,
                          editors, preferences).failure,
              std::nullopt);
    EXPECT_EQ(host.opened, std::vector<std::string>{"https://example.org"});

    preferences = {OpenBoxesIn::mine, "Kate"};
    BoxOpener another;
    const auto mine = another.open(reference("VS Code"), folder, bundle, host, editors, preferences);
    EXPECT_EQ(mine.notice, std::nullopt);
    EXPECT_EQ(host.started.back(), bundle + "/Contents/Resources/kate-goto");
}
