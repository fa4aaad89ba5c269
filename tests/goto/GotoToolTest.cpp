#include "goto/GotoCommand.h"

#include "goto/TempTree.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
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
        {"xcode", "xed", {"--line", "3", file}}, {"androidstudio", "studio", {"--line", "3", file}},
        {"atom", "atom", {file + ":3"}},         {"sublime", "subl", {file + ":3"}},
        {"sublime2", "subl", {file + ":3"}},     {"webstorm", "webstorm", {"--line", "3", file}},
        {"textmate", "mate", {"-l", "3", file}}, {"vscode", "code", {"--goto", file + ":3"}},
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
    EXPECT_EQ(recorded("sublime_text"), std::vector<std::string>{file + ":1"});
    EXPECT_EQ(run(tool("webstorm"), {source.path(), "pathwick-ALT"}).status, 0);
    EXPECT_EQ(recorded("webstorm.sh"), (std::vector<std::string>{"--line", "1", file}));
    EXPECT_EQ(run(tool("androidstudio"), {source.path(), "pathwick-ALT"}).status, 0);
    EXPECT_EQ(recorded("studio.sh"), (std::vector<std::string>{"--line", "1", file}));
}

#ifndef __APPLE__
// Xcode has no launcher on Linux, so these runs cannot reach an editor installed on the machine.
TEST_F(GotoToolTest, WithoutALauncherOpensTheFileOrFailsWithStatusThree) {
    source.write("f.c", "\n// pathwick-FB\n");
    const std::string file = source.path("f.c");
    const auto nothing = run(tool("xcode"), {source.path(), "pathwick-FB"});
    EXPECT_EQ(nothing.status, 3);
    EXPECT_EQ(lines(nothing.err).size(), 1u);

    fakeLauncher("xdg-open");
    const auto opened = run(tool("xcode"), {source.path(), "pathwick-FB"});
    EXPECT_EQ(opened.status, 0);
    EXPECT_EQ(opened.err, file + ":2\n");
    EXPECT_EQ(recorded("xdg-open"), std::vector<std::string>{file});
}
#endif

TEST(GotoCommand, OnlyTheCatalogueEditorsHaveTools) {
    std::ostringstream out, err;
    const pathwicks::GotoEnvironment environment{"/nonexistent", "", "/"};
    for (const char* name : {"safari-goto", "emacs-goto", "-goto", "vscode", "/x/pathwicks"})
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
