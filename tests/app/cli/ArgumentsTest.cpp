#include "app/cli/Commands.h"

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
