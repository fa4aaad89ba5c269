#include "editors/EditorCommand.h"
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

// The words of a command that starts one program.
Words wordsOf(const OpenCommand& command) {
    const auto* lines = std::get_if<std::vector<CommandLine>>(&command);
    if (!lines) {
        ADD_FAILURE() << std::get<std::string>(command);
        return {};
    }
    EXPECT_EQ(lines->size(), 1u);
    return lines->empty() ? Words{} : lines->front().words;
}

std::string problemOf(const OpenCommand& command) {
    const auto* problem = std::get_if<std::string>(&command);
    return problem ? *problem : "(opens)";
}

class EditorCommandTest : public ::testing::Test {
protected:
    OpenCommand open(std::string_view name) {
        return openCommand(*findEditor(name), place, environment, userEditors);
    }

    TempTree bin, home, root;
    EditorEnvironment environment{bin.path(), home.path(), {}, root.path()};
    UserEditors userEditors;
    const OpenPlace place{"/src/a b.c", 12, "/src"};
    const std::string file = "/src/a b.c";
};

} // namespace

TEST_F(EditorCommandTest, EachEditorsCommandLineFromItsLauncherOnPath) {
    const std::string term = executable(bin, "x-terminal-emulator");
    struct Case {
        std::string name;
        std::string launcher;
        Words arguments;
    };
    const std::vector<Case> cases{
        {"VSCodium", "codium", {"--goto", file + ":12"}},
        {"Cursor", "cursor", {"--goto", file + ":12"}},
        {"Zed", "zed", {file + ":12"}},
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
        {"Qt Creator", "qtcreator", {"-client", file + ":12"}},
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
                                       {"Helix", "hx", {file + ":12"}}};
    for (const auto& c : inTerminal) {
        const std::string launcher = executable(bin, c.launcher);
        Words expected{term, "-e", launcher};
        expected.insert(expected.end(), c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(wordsOf(open(c.name)), expected) << c.name;
    }
}

TEST_F(EditorCommandTest, OtherLauncherNamesAndTheUsualInstallPlaces) {
    struct Case {
        std::string name;
        std::string place; // under root, or "~/" under home
        Words arguments;
    };
    const std::vector<Case> cases{
        {"Zed", "/usr/bin/zeditor", {file + ":12"}},
        {"VSCodium", "/snap/bin/codium", {"--goto", file + ":12"}},
        {"VSCodium", "/var/lib/flatpak/exports/bin/com.vscodium.codium", {"--goto", file + ":12"}},
        {"Zed", "~/.local/share/flatpak/exports/bin/dev.zed.Zed", {file + ":12"}},
        {"CLion", "/opt/clion/bin/clion.sh", {"--line", "12", file}},
        {"PyCharm", "/usr/bin/pycharm-community", {"--line", "12", file}},
        {"PyCharm", "/snap/bin/pycharm-professional", {"--line", "12", file}},
        {"IntelliJ IDEA", "~/.local/share/JetBrains/Toolbox/scripts/idea", {"--line", "12", file}},
        {"Kate", "/var/lib/flatpak/exports/bin/org.kde.kate", {"--line", "12", file}},
        {"Qt Creator", "~/Qt/Tools/QtCreator/bin/qtcreator", {"-client", file + ":12"}},
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

TEST_F(EditorCommandTest, EmacsAsksARunningServerFirst) {
    const std::string emacs = executable(bin, "emacs");
    const auto alone = std::get<std::vector<CommandLine>>(open("Emacs"));
    ASSERT_EQ(alone.size(), 1u);
    EXPECT_EQ(alone[0].words, (Words{emacs, "+12", file}));

    const std::string client = executable(bin, "emacsclient");
    const auto both = std::get<std::vector<CommandLine>>(open("Emacs"));
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].words, (Words{client, "-n", "+12", file}));
    EXPECT_TRUE(both[0].tryFirst);
    EXPECT_EQ(both[1].words, (Words{emacs, "+12", file}));
    EXPECT_FALSE(both[1].tryFirst);

    // Debian's emacs-nox, reached through its alternative link, starts in the user's terminal.
    std::filesystem::remove(emacs);
    std::filesystem::remove(client);
    const std::string nox = executable(root, "usr/bin/emacs-nox");
    std::filesystem::create_symlink(nox, bin.path("emacs"));
    EXPECT_NE(problemOf(open("Emacs")).find("no terminal"), std::string::npos);
    const std::string xterm = executable(bin, "xterm");
    EXPECT_EQ(wordsOf(open("Emacs")), (Words{xterm, "-e", emacs, "+12", file}));
}

TEST_F(EditorCommandTest, TheTerminalEditorAndTheUsersTerminalInTheirOrder) {
    // No terminal at all: the terminal editors cannot be started.
    executable(bin, "vim");
    EXPECT_NE(problemOf(open("Vim")).find("no terminal"), std::string::npos);

    // Each terminal is used when those before it are missing.
    const Words editor{"/usr/bin/ed", "x y"};
    const std::string xterm = executable(bin, "xterm");
    EXPECT_EQ(inUsersTerminal(editor, environment), (Words{xterm, "-e", "/usr/bin/ed", "x y"}));
    const std::string konsole = executable(bin, "konsole");
    EXPECT_EQ(inUsersTerminal(editor, environment)->front(), konsole);
    const std::string gnome = executable(bin, "gnome-terminal");
    EXPECT_EQ(inUsersTerminal(editor, environment), (Words{gnome, "--", "/usr/bin/ed", "x y"}));
    const std::string debian = executable(bin, "x-terminal-emulator");
    EXPECT_EQ(inUsersTerminal(editor, environment), (Words{debian, "-e", "/usr/bin/ed", "x y"}));
    const std::string exec = executable(bin, "xdg-terminal-exec");
    EXPECT_EQ(inUsersTerminal(editor, environment), (Words{exec, "/usr/bin/ed", "x y"}));
    environment.variables["TERMINAL"] = "absent-terminal"; // not installed: passed over
    EXPECT_EQ(inUsersTerminal(editor, environment)->front(), exec);
    const std::string kitty = executable(bin, "kitty");
    environment.variables["TERMINAL"] = "kitty";
    EXPECT_EQ(inUsersTerminal(editor, environment), (Words{kitty, "-e", "/usr/bin/ed", "x y"}));

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
