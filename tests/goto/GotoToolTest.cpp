#include "goto/GotoCommand.h"

#include "goto/TempTree.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <set>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Writes a file whole, making the folders above it.
void writeWhole(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

// Runs a shipped goto tool as a whole process, with only the given PATH and HOME.
class GotoToolTest : public ::testing::Test {
protected:
    std::string tool(const std::string& key) const {
        return std::string(PATHWICKS_TEST_RESOURCES_DIR) + "/" + key + "-goto";
    }

    ToolRun run(const std::string& program, const std::vector<std::string>& args,
                const std::string& workingFolder = {}) {
        std::vector<std::string> argv{program};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> argPointers;
        for (auto& arg : argv)
            argPointers.push_back(arg.data());
        argPointers.push_back(nullptr);
        std::vector<std::string> env{"PATH=" + bin.path(), "HOME=" + home.path()};
        env.insert(env.end(), environment.begin(), environment.end());
        std::vector<char*> envPointers;
        for (auto& entry : env)
            envPointers.push_back(entry.data());
        envPointers.push_back(nullptr);

        const std::string outFile = scratch.path("out"), errFile = scratch.path("err");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        if (!workingFolder.empty())
            posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
        pid_t pid = 0;
        const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argPointers.data(),
                                      envPointers.data());
        posix_spawn_file_actions_destroy(&actions);
        ToolRun result;
        if (error != 0) {
            ADD_FAILURE() << "cannot start " << program;
            return result;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = readAll(outFile);
        result.err = readAll(errFile);
        return result;
    }

    // Starts a tool without waiting for it, its output discarded.
    pid_t start(const std::string& program, const std::vector<std::string>& args) {
        std::vector<std::string> argv{program};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> argPointers;
        for (auto& arg : argv)
            argPointers.push_back(arg.data());
        argPointers.push_back(nullptr);
        std::string pathEntry = "PATH=" + bin.path(), homeEntry = "HOME=" + home.path();
        char* env[] = {pathEntry.data(), homeEntry.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argPointers.data(), env) != 0)
            ADD_FAILURE() << "cannot start " << program;
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    std::string cacheFile() const { return home.path(".cache/pathwicks/goto-places.json"); }

    // A launcher on PATH that records its arguments, one a line, in a file named after it.
    void fakeLauncher(const std::string& name) {
        const std::string record = scratch.path(name + ".args");
        const auto script =
            bin.write(name, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + ".tmp' && /bin/mv '" +
                                record + ".tmp' '" + record + "'\n");
        ::chmod(script.c_str(), 0755);
    }

    // The arguments a fake launcher was started with; the tool does not wait for it.
    std::vector<std::string> recorded(const std::string& name) {
        const std::string record = scratch.path(name + ".args");
        for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return lines(readAll(record));
    }

    TempTree source, bin, home, scratch;
    // More NAME=value entries for the tool's environment.
    std::vector<std::string> environment;
};

} // namespace

TEST_F(GotoToolTest, PrintsTheAbsoluteFileAndLine) {
    source.write("src/app/view.cpp", "#include <x>\n\nvoid f() {} // pathwick-ONE Open file\n");
    const auto found = run(tool("vscode"), {"--print", source.path(), "pathwick-ONE"});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, source.path("src/app/view.cpp") + ":3\n");
    EXPECT_EQ(found.err, "");

    // A relative folder is made absolute from the working folder, links left as they are.
    const auto relative =
        run(tool("vscode"), {"--print", "./src/../src//", "pathwick-ONE"}, source.path());
    EXPECT_EQ(relative.status, 0) << relative.err;
    EXPECT_EQ(relative.out, source.path() + "/src/../src/app/view.cpp:3\n");
}

// One place is one line: a name holding a line feed, a terminal sequence, a bidirectional
// control or a backslash is printed with escapes.
TEST_F(GotoToolTest, PrintsOddFileNamesEscaped) {
    source.write("a\nb\x1b]0;x\x07\u202e\\.c", "// pathwick-ODD\n");
    source.write("z.c", "// pathwick-ODD\n");
    const auto found = run(tool("vscode"), {"--print", source.path(), "pathwick-ODD"});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, source.path() + "/a\\nb\\x1b]0;x\\x07\\u202e\\\\.c:1\n");
    EXPECT_EQ(found.err, "vscode-goto: also marked at " + source.path() + "/z.c:1\n");
}

TEST_F(GotoToolTest, TakesTheFirstFileInByteOrderAndNamesTheOthers) {
    source.write("b.c", "// pathwick-DUP\n");
    source.write("a/z.c", "\n// pathwick-DUP\n// pathwick-DUP\n");
    source.write("A.c", "\n\n// pathwick-DUP\n");
    const auto found = run(tool("atom"), {"--print", source.path(), "pathwick-DUP"});
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.out, source.path("A.c") + ":3\n");
    const auto others = lines(found.err);
    ASSERT_EQ(others.size(), 2u) << found.err;
    EXPECT_NE(others[0].find(source.path("a/z.c") + ":2"), std::string::npos);
    EXPECT_NE(others[1].find(source.path("b.c") + ":1"), std::string::npos);
}

TEST_F(GotoToolTest, SkipsWhatGitIgnoresUnlessToldNotTo) {
    // A copy of the source in the build folder comes first in byte order.
    source.write(".gitignore", "/build/\n");
    source.write("build/gen/main.py", "# pathwick-IGN\n");
    source.write("src/main.py", "x = 1  # pathwick-IGN Main\n");
    auto found = run(tool("vscode"), {"--no-ignore", "--print", source.path(), "pathwick-IGN"});
    EXPECT_EQ(found.out, source.path("build/gen/main.py") + ":1\n");
    EXPECT_EQ(lines(found.err).size(), 1u) << found.err;
    // The file remembered without ignoring is not taken when ignoring.
    found = run(tool("vscode"), {"--print", source.path(), "pathwick-IGN"});
    EXPECT_EQ(found.out, source.path("src/main.py") + ":1\n");
    EXPECT_EQ(found.err, "");
    EXPECT_EQ(run(tool("vscode"), {"--bogus", source.path(), "pathwick-IGN"}).status, 2);
}

TEST_F(GotoToolTest, FailuresExitWithTheirStatusAndOneLine) {
    source.write("x.c", "// pathwick-X\n");
    const auto file = source.path("x.c");
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const std::vector<Case> cases{
        {{}, 2},
        {{source.path()}, 2},
        {{"--print", source.path()}, 2},
        {{source.path(), "pathwick-X", "extra"}, 2},
        {{source.path(), "--print", "pathwick-X"}, 2},
        {{"--print", source.path(), ""}, 2},
        {{"--print", file, "pathwick-X"}, 2},
        {{"--print", source.path("absent"), "pathwick-X"}, 2},
        {{"--print", source.path(), "pathwick-Y"}, 1},
        {{"--print", source.path(), "pathwick-"}, 1},
    };
    for (const auto& c : cases) {
        const auto result = run(tool("sublime"), c.args);
        EXPECT_EQ(result.status, c.status) << ::testing::PrintToString(c.args);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(lines(result.err).size(), 1u) << result.err;
    }
}

TEST_F(GotoToolTest, EachToolStartsItsEditorAtTheMarkedLine) {
    source.write("deep/er/file.ts", "one\r\ntwo\r\nthree // pathwick-GO title\r\n");
    const std::string file = source.path("deep/er/file.ts");
    struct Case {
        std::string key;
        std::string launcher;
        std::vector<std::string> args;
    };
    const std::vector<Case> cases{
        {"xcode", "xed", {"--line", "3", file}},
        {"androidstudio", "studio", {"--line", "3", file}},
        {"atom", "atom", {file + ":3:1"}},
        {"sublime", "subl", {file + ":3:1"}},
        {"sublime2", "subl", {file + ":3:1"}},
        {"webstorm", "webstorm", {"--line", "3", file}},
        {"textmate", "mate", {"-l", "3", file}},
        {"vscode", "code", {"--goto", file + ":3:1"}},
        {"vscodium", "codium", {"--goto", file + ":3:1"}},
        {"cursor", "cursor", {"--goto", file + ":3:1"}},
        {"zed", "zed", {file + ":3:1"}},
        {"intellijidea", "idea", {"--line", "3", file}},
        {"clion", "clion", {"--line", "3", file}},
        {"pycharm", "pycharm", {"--line", "3", file}},
        {"goland", "goland", {"--line", "3", file}},
        {"rider", "rider", {"--line", "3", file}},
        {"rustrover", "rustrover", {"--line", "3", file}},
        {"phpstorm", "phpstorm", {"--line", "3", file}},
        {"kate", "kate", {"--line", "3", file}},
        {"gedit", "gedit", {"+3", file}},
        {"geany", "geany", {"--line", "3", file}},
        {"qtcreator", "qtcreator", {"-client", file + ":3:1"}},
        {"emacs", "emacs", {"+3", file}},
    };
    for (const auto& c : cases) {
        fakeLauncher(c.launcher);
        const auto result = run(tool(c.key), {source.path(), "pathwick-GO"});
        EXPECT_EQ(result.status, 0) << c.key << ": " << result.err;
        EXPECT_EQ(recorded(c.launcher), c.args) << c.key;
        std::filesystem::remove(bin.path(c.launcher));
        std::filesystem::remove(scratch.path(c.launcher + ".args"));
    }
}

TEST_F(GotoToolTest, UsesTheOtherLauncherNamesWhereOnlyThoseAreInstalled) {
    source.write("f.c", "// pathwick-ALT\n");
    const std::string file = source.path("f.c");
    fakeLauncher("sublime_text");
    fakeLauncher("webstorm.sh");
    fakeLauncher("studio.sh");
    EXPECT_EQ(run(tool("sublime2"), {source.path(), "pathwick-ALT"}).status, 0);
    EXPECT_EQ(recorded("sublime_text"), std::vector<std::string>{file + ":1:1"});
    EXPECT_EQ(run(tool("webstorm"), {source.path(), "pathwick-ALT"}).status, 0);
    EXPECT_EQ(recorded("webstorm.sh"), (std::vector<std::string>{"--line", "1", file}));
    EXPECT_EQ(run(tool("androidstudio"), {source.path(), "pathwick-ALT"}).status, 0);
    EXPECT_EQ(recorded("studio.sh"), (std::vector<std::string>{"--line", "1", file}));
}

#ifndef __APPLE__
// Xcode has no launcher on Linux, so these runs cannot reach an editor installed on the machine.
TEST_F(GotoToolTest, AnEditorNotInstalledFailsWithStatusThreeAndSystemDefaultNamesTheLine) {
    source.write("f.c", "\n// pathwick-FB\n");
    const std::string file = source.path("f.c");
    fakeLauncher("xdg-open");
    // The desktop's opener could show the file, but not at its line: the user is told instead.
    const auto nothing = run(tool("xcode"), {source.path(), "pathwick-FB"});
    EXPECT_EQ(nothing.status, 3);
    EXPECT_EQ(nothing.err, "xcode-goto: Xcode is not installed\n");

    const auto opened = run(tool("systemdefault"), {source.path(), "pathwick-FB"});
    EXPECT_EQ(opened.status, 0);
    EXPECT_EQ(opened.err, file + ":2\n");
    EXPECT_EQ(recorded("xdg-open"), std::vector<std::string>{file});
}
#endif

TEST_F(GotoToolTest, TerminalEditorsRunInTheUsersTerminal) {
    source.write("f.c", "\n\n// pathwick-T\n");
    const std::string file = source.path("f.c");
    fakeLauncher("vim");
    const auto noTerminal = run(tool("vim"), {source.path(), "pathwick-T"});
    EXPECT_EQ(noTerminal.status, 3);
    EXPECT_NE(noTerminal.err.find("no terminal"), std::string::npos) << noTerminal.err;

    fakeLauncher("x-terminal-emulator");
    EXPECT_EQ(run(tool("vim"), {source.path(), "pathwick-T"}).status, 0);
    EXPECT_EQ(recorded("x-terminal-emulator"),
              (std::vector<std::string>{"-e", bin.path("vim"), "+3", file}));
    std::filesystem::remove(scratch.path("x-terminal-emulator.args"));

    // $VISUAL's words, split as a shell splits them, each passed on as it is.
    fakeLauncher("my editor");
    environment = {"VISUAL='my editor' --flag=\"a b\"", "EDITOR=vim"};
    EXPECT_EQ(run(tool("terminaleditor"), {source.path(), "pathwick-T"}).status, 0);
    EXPECT_EQ(recorded("x-terminal-emulator"),
              (std::vector<std::string>{"-e", bin.path("my editor"), "--flag=a b", "+3", file}));
}

TEST_F(GotoToolTest, CustomGotoOpensTheUsersOwnEditors) {
    source.write("f.c", "// pathwick-U\n");
    const std::string file = source.path("f.c");
    fakeLauncher("nvim");
    fakeLauncher("code");
    home.write(".config/pathwicks/editors.json",
               R"({"editors": [{"name": "Nvim Server", "command": ["nvim", "--server",
                   "{folder}/nvim.sock", "--remote", "{file}"]},
                   {"name": "VS Code", "command": ["code", "-r", "-g", "{file}:{line}"]}]})");
    const auto opened = run(tool("custom"), {source.path(), "pathwick-U", "Nvim Server"});
    EXPECT_EQ(opened.status, 0) << opened.err;
    EXPECT_EQ(recorded("nvim"),
              (std::vector<std::string>{"--server", source.path() + "/nvim.sock", "--remote",
                                        file}));
    // A name of the catalogue takes the user's command in its own tool.
    EXPECT_EQ(run(tool("vscode"), {source.path(), "pathwick-U"}).status, 0);
    EXPECT_EQ(recorded("code"), (std::vector<std::string>{"-r", "-g", file + ":1"}));
    const auto printed = run(tool("custom"), {"--print", source.path(), "pathwick-U", "Other"});
    EXPECT_EQ(printed.out, file + ":1\n");

    const auto unknown = run(tool("custom"), {source.path(), "pathwick-U", "Other"});
    EXPECT_EQ(unknown.status, 3);
    EXPECT_NE(unknown.err.find("no editor named “Other”"), std::string::npos) << unknown.err;
    EXPECT_EQ(run(tool("custom"), {source.path(), "pathwick-U"}).status, 2);

    // A broken file: custom-goto says so; the catalogue's tools go on without a word, since the
    // window names the file once as it reads it.
    home.write(".config/pathwicks/editors.json", R"({"editors": [{"name": "X"}]})");
    const auto broken = run(tool("custom"), {source.path(), "pathwick-U", "Nvim Server"});
    EXPECT_EQ(broken.status, 3);
    EXPECT_EQ(lines(broken.err).size(), 1u);
    EXPECT_NE(broken.err.find("editors.json: editor 1 (X) has no \"command\" list"),
              std::string::npos)
        << broken.err;
    std::filesystem::remove(scratch.path("code.args"));
    const auto catalogue = run(tool("vscode"), {source.path(), "pathwick-U"});
    EXPECT_EQ(catalogue.status, 0);
    EXPECT_EQ(catalogue.err, "");
    EXPECT_EQ(recorded("code"), (std::vector<std::string>{"--goto", file + ":1:1"}));
}

// An editor that fails at once (a client that finds no server) is told with its own words; one
// that goes on running is left to run.
TEST_F(GotoToolTest, AnEditorThatFailsAtOnceSaysWhy) {
    source.write("f.c", "// pathwick-U\n");
    const auto failing = bin.write("client", "#!/bin/sh\necho 'client: cannot find socket' >&2\n"
                                             "echo 'client: start the server first' >&2\nexit 1\n");
    const auto lasting = bin.write("lasting", "#!/bin/sh\nexec /bin/sleep 5\n");
    ::chmod(failing.c_str(), 0755);
    ::chmod(lasting.c_str(), 0755);
    home.write(".config/pathwicks/editors.json",
               R"({"editors": [{"name": "Frame", "command": ["client", "{file}"]},
                               {"name": "Lasting", "command": ["lasting", "{file}"]}]})");
    const auto failed = run(tool("custom"), {source.path(), "pathwick-U", "Frame"});
    EXPECT_EQ(failed.status, 3);
    EXPECT_EQ(failed.err, "custom-goto: " + failing + " exited with status 1: client: cannot find "
                          "socket client: start the server first\n");
    const auto started = run(tool("custom"), {source.path(), "pathwick-U", "Lasting"});
    EXPECT_EQ(started.status, 0) << started.err;
}

// A real Emacs server from Debian's emacs-nox, on a socket of the test's own: the tool asks it
// to visit the file, and the server says which line it shows.
TEST_F(GotoToolTest, EmacsOpensTheLineInARunningServer) {
    if (!std::filesystem::exists("/usr/bin/emacs") ||
        !std::filesystem::exists("/usr/bin/emacsclient"))
        GTEST_SKIP() << "emacs-nox is not installed";
    source.write("src/lisp.c", "one\ntwo\nthree\nfour // pathwick-EMACS\n");
    const std::string file = source.path("src/lisp.c");
    const std::string socket = scratch.path("server");
    // Only emacs and emacsclient on PATH, through links to the real ones.
    std::filesystem::create_symlink("/usr/bin/emacs", bin.path("emacs"));
    std::filesystem::create_symlink("/usr/bin/emacsclient", bin.path("emacsclient"));
    environment = {"EMACS_SOCKET_NAME=" + socket};

    // Without a server the tool starts emacs itself; make the daemon the test's own first.
    const auto daemon = run("/usr/bin/emacs", {"-Q", "--daemon=" + socket});
    ASSERT_EQ(daemon.status, 0) << daemon.err;
    struct Stop {
        std::function<void()> stop;
        ~Stop() { stop(); }
    } stop{[this] { run("/usr/bin/emacsclient", {"--eval", "(kill-emacs)"}); }};
    const auto opened = run(tool("emacs"), {source.path(), "pathwick-EMACS"});
    EXPECT_EQ(opened.status, 0) << opened.err;
    const auto asked =
        run("/usr/bin/emacsclient", {"--eval", "(with-current-buffer (get-file-buffer \"" + file +
                                                   "\") (line-number-at-pos))"});
    EXPECT_EQ(asked.out, "4\n") << asked.err;
}

TEST_F(GotoToolTest, OnlyTheEditorIsGivenTheActivationToken) {
    source.write("a.c", "// pathwick-TOKEN\n");
    environment = {"XDG_ACTIVATION_TOKEN=wayland-token", "DESKTOP_STARTUP_ID=x11-id"};
    // emacsclient finds no server (exit 1), so the tool starts emacs; each notes what it got.
    for (const std::string name : {"emacsclient", "emacs"}) {
        const std::string record = scratch.path(name + ".env");
        const auto script = bin.write(
            name, "#!/bin/sh\n/usr/bin/env | /bin/grep -e ACTIVATION -e STARTUP > '" + record +
                      ".tmp'; /bin/mv '" + record + ".tmp' '" + record + "'\n" +
                      (name == "emacsclient" ? "exit 1\n" : ""));
        ::chmod(script.c_str(), 0755);
    }
    const auto result = run(tool("emacs"), {source.path(), "pathwick-TOKEN"});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string editor = scratch.path("emacs.env");
    for (int i = 0; i < 500 && !std::filesystem::exists(editor); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::vector<std::string> got = lines(readAll(editor));
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::string>{"DESKTOP_STARTUP_ID=x11-id",
                                             "XDG_ACTIVATION_TOKEN=wayland-token"}));
    EXPECT_EQ(readAll(scratch.path("emacsclient.env")), "");
}

TEST_F(GotoToolTest, ReadsTheRememberedFileFirstAndSearchesAgainWhenItFails) {
    const auto goTo = [&](const std::string& folder) {
        return run(tool("vscode"), {"--print", folder, "pathwick-MEM"});
    };
    source.write("a.c", "// pathwick-MEM\n");
    source.write("z.c", "# pathwick-MEM\n");
    auto found = goTo(source.path());
    EXPECT_EQ(found.out, source.path("a.c") + ":1\n");
    EXPECT_NE(found.err.find("also marked at " + source.path("z.c")), std::string::npos);
    EXPECT_NE(readAll(cacheFile()).find("a.c"), std::string::npos);

    // A remembered file that still carries the marker is taken at once, its line found afresh.
    const nlohmann::json remembered = {{source.path(), "pathwick-MEM", "z.c"}};
    writeWhole(cacheFile(), remembered.dump());
    source.write("z.c", "\n\n# pathwick-MEM\n");
    found = goTo(source.path());
    EXPECT_EQ(found.out, source.path("z.c") + ":3\n");
    EXPECT_EQ(found.err, "");

    // The marker moved: the whole tree is searched and the new place remembered.
    source.write("z.c", "nothing\n");
    EXPECT_EQ(goTo(source.path()).out, source.path("a.c") + ":1\n");
    std::filesystem::remove(source.path("a.c"));
    source.write("b/c.sh", "echo  # pathwick-MEM\n");
    EXPECT_EQ(goTo(source.path()).out, source.path("b/c.sh") + ":1\n");
    EXPECT_EQ(goTo(source.path()).out, source.path("b/c.sh") + ":1\n");

    // The remembered file replaced by a link to outside the folder is never read.
    TempTree outside;
    outside.write("x.c", "// pathwick-MEM\n");
    std::filesystem::remove(source.path("b/c.sh"));
    std::filesystem::create_symlink(outside.path("x.c"), source.path("b/c.sh"));
    found = goTo(source.path());
    EXPECT_EQ(found.status, 1);
    EXPECT_EQ(found.out, "");
}

TEST_F(GotoToolTest, AHostileCorruptOrUnwritableCacheIsOnlyIgnored) {
    source.write("inner/real.c", "// pathwick-HOST\n");
    source.write("outside.c", "// pathwick-HOST\n");
    source.write("inner/ignored.c", "// pathwick-HOST\n");
    source.write("inner/.gitignore", "ignored.c\n");
    const std::string inner = source.path("inner");
    const auto goTo = [&] { return run(tool("atom"), {"--print", inner, "pathwick-HOST"}); };
    const std::vector<std::string> caches = {
        "{not json",
        "{\"a\": 1}",
        nlohmann::json::array({{inner, "pathwick-HOST", "../outside.c"}}).dump(),
        nlohmann::json::array({{inner, "pathwick-HOST", source.path("outside.c")}}).dump(),
        nlohmann::json::array({{inner, "pathwick-HOST", "./../outside.c"}}).dump(),
        nlohmann::json::array({{inner, "pathwick-HOST", "ignored.c"}}).dump(),
        nlohmann::json::array({{1, 2, 3}, {inner, "pathwick-HOST", 7}, "x", nullptr}).dump(),
    };
    for (const auto& cache : caches) {
        writeWhole(cacheFile(), cache);
        const auto found = goTo();
        EXPECT_EQ(found.status, 0) << cache;
        EXPECT_EQ(found.out, inner + "/real.c:1\n") << cache;
        EXPECT_EQ(found.err, "") << cache;
        // Rewritten whole, as the one entry found.
        EXPECT_EQ(nlohmann::json::parse(readAll(cacheFile()), nullptr, false),
                  nlohmann::json::array({{inner, "pathwick-HOST", "real.c"}}))
            << cache;
    }
    // A cache that cannot be written to leaves the tool working and silent.
    std::filesystem::remove_all(home.path(".cache"));
    writeWhole(home.path(".cache/pathwicks"), "a file where the folder would be");
    const auto found = goTo();
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.out, inner + "/real.c:1\n");
    EXPECT_EQ(found.err, "");
}

TEST_F(GotoToolTest, TheCacheKeepsTheNewestTenThousandPlaces) {
    source.write("a.c", "// pathwick-NEW\n");
    auto full = nlohmann::json::array();
    for (int i = 0; i < 10000; ++i)
        full.push_back({"/elsewhere", "pathwick-OLD" + std::to_string(i), "x.c"});
    writeWhole(cacheFile(), full.dump());
    EXPECT_EQ(run(tool("vscode"), {"--print", source.path(), "pathwick-NEW"}).status, 0);
    const auto cache = nlohmann::json::parse(readAll(cacheFile()), nullptr, false);
    ASSERT_TRUE(cache.is_array());
    ASSERT_EQ(cache.size(), 10000u);
    EXPECT_EQ(cache.front()[1], "pathwick-OLD1");
    EXPECT_EQ(cache.back(), nlohmann::json({source.path(), "pathwick-NEW", "a.c"}));
}

TEST_F(GotoToolTest, ToolsRunningAtOnceAllRememberTheirPlaces) {
    constexpr int tools = 8;
    for (int i = 0; i < tools; ++i)
        source.write("f" + std::to_string(i) + ".c", "// pathwick-T" + std::to_string(i) + "\n");
    std::vector<pid_t> started;
    for (int i = 0; i < tools; ++i)
        started.push_back(
            start(tool("vscode"), {"--print", source.path(), "pathwick-T" + std::to_string(i)}));
    for (pid_t pid : started) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto cache = nlohmann::json::parse(readAll(cacheFile()), nullptr, false);
    ASSERT_TRUE(cache.is_array()) << readAll(cacheFile());
    std::set<std::string> files;
    for (const auto& entry : cache)
        files.insert(entry[2].get<std::string>());
    EXPECT_EQ(files.size(), static_cast<size_t>(tools));
}

TEST(GotoCommand, OnlyTheCatalogueEditorsHaveTools) {
    std::ostringstream out, err;
    const pathwicks::GotoEnvironment environment{"/nonexistent", "", "/", ""};
    for (const char* name : {"safari-goto", "notepad-goto", "-goto", "vscode", "/x/pathwicks"})
        EXPECT_EQ(pathwicks::runGoto(name, {"--print", "/", "x"}, out, err, environment), 2)
            << name;
}

TEST(GotoCommand, MakesFoldersAbsoluteWithoutResolvingLinks) {
    using pathwicks::absoluteFolder;
    EXPECT_EQ(absoluteFolder("/a/b/", "/w"), "/a/b");
    EXPECT_EQ(absoluteFolder("b/./c", "/w/"), "/w/b/c");
    EXPECT_EQ(absoluteFolder("../x", "/w"), "/w/../x");
    EXPECT_EQ(absoluteFolder(".", "/w"), "/w");
    EXPECT_EQ(absoluteFolder("/", "/w"), "/");
    EXPECT_EQ(absoluteFolder("//a//b", "/w"), "/a/b");
}
