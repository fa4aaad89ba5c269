#include "cli/Commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
};

// The exact words and statuses of the subcommands' refusals, option parsing and documents
// named by a relative path alike: scripts read them.
TEST(SubcommandArguments, RefusalsAreWordedExactly) {
    const std::string checkUsage = "usage: pathwicks check [--no-ignore] FILE\n";
    const std::string formatUsage = "usage: pathwicks format [-i] FILE\n";
    const std::string absent = ": cannot open: No such file or directory\n";
    const std::string notObject = ": cannot be opened as a document: its top level is not a JSON "
                                  "object\n";
    const std::vector<Case> cases = {
        {{"check"}, 2, checkUsage},
        {{"check", "a", "b"}, 2, checkUsage},
        {{"check", "-x", "a"}, 2, "pathwicks check: unknown option -x\n" + checkUsage},
        {{"check", "a", "-x"}, 2, "pathwicks check: unknown option -x\n" + checkUsage},
        {{"check", "a", "--", "-x"}, 2, checkUsage},
        {{"check", "--", "-x"}, 2, "pathwicks check: -x" + absent},
        {{"check", "-"}, 2, "pathwicks check: -" + absent},
        {{"check", "sub/../list.pathwicks"}, 2, "pathwicks check: sub/../list.pathwicks" + notObject},
        {{"format"}, 2, formatUsage},
        {{"format", "-i"}, 2, formatUsage},
        {{"format", "a", "-i"}, 2, "pathwicks format: unknown option -i\n" + formatUsage},
        {{"format", "-i", "-x", "a"}, 2, "pathwicks format: unknown option -x\n" + formatUsage},
        {{"format", "-i=a"}, 2, "pathwicks format: unknown option -i=a\n" + formatUsage},
        {{"format", "-i", "--", "-i"}, 1, "pathwicks format: -i" + absent},
        {{"format", "no-such-folder/doc.pathwicks"}, 1,
         "pathwicks format: no-such-folder/doc.pathwicks" + absent},
        {{"format", "-i", "./list.pathwicks"}, 1, "pathwicks format: ./list.pathwicks" + notObject},
    };

    std::string pattern = (fs::temp_directory_path() / "pathwicks-arguments-XXXXXX").string();
    const fs::path folder = mkdtemp(pattern.data());
    fs::create_directory(folder / "sub");
    std::ofstream(folder / "list.pathwicks") << "[1, 2]";
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    for (const auto& [args, status, err] : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        std::ostringstream out, errors;
        EXPECT_EQ(pathwicks::cli::runCommand(args, out, errors), status);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(errors.str(), err);
    }
    fs::current_path(before);
    fs::remove_all(folder);
}

} // namespace

// Help, unknown options and mistyped subcommands are answered before any window or display is
// needed; documents and the toolkit's own options are left for the windows.
TEST(ProgramArguments, HelpAndMistakesNeedNoWindow) {
    using pathwicks::cli::programUsage;
    using pathwicks::cli::runCommand;
    for (const std::string help : {"--help", "-h"}) {
        std::ostringstream out, err;
        EXPECT_EQ(runCommand({help}, out, err), 0) << help;
        EXPECT_EQ(out.str(), std::string(programUsage) + "\n");
        EXPECT_EQ(err.str(), "");

        // Usage that cannot be written is a failure.
        std::ostringstream full;
        full.setstate(std::ios::badbit);
        EXPECT_EQ(runCommand({help}, full, err), 1);
    }
    const std::vector<std::pair<std::vector<std::string>, std::string>> mistakes = {
        {{"--bogus"}, "pathwicks: unknown option --bogus\n"},
        {{"walk.pathwicks", "-x"}, "pathwicks: unknown option -x\n"},
        {{"exprot", "walk.pathwicks", "out.svg"}, "pathwicks: no subcommand or file named exprot\n"},
    };
    for (const auto& [args, why] : mistakes) {
        std::ostringstream out, err;
        EXPECT_EQ(runCommand(args, out, err), 2) << args.front();
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str(), why + programUsage + "\n");
    }

    const std::string folder = fs::temp_directory_path() / ("pathwicks-args-" + std::to_string(::getpid()));
    fs::create_directory(folder);
    const std::string word = folder + "/notes";
    std::ofstream(word) << "{}";
    const std::string previous = fs::current_path();
    fs::current_path(folder);
    for (const std::vector<std::string>& windows :
         {std::vector<std::string>{"notes"}, {"walk.pathwicks", "other.pathwicks"},
          {"-platform", "offscreen", "--style=fusion", "walk.pathwicks"}, {"export", "a", "b"},
          {"--", "-odd.pathwicks"}}) {
        std::ostringstream out, err;
        EXPECT_EQ(runCommand(windows, out, err), std::nullopt) << windows.front();
        EXPECT_EQ(err.str(), "");
    }
    fs::current_path(previous);
    fs::remove_all(folder);
}
