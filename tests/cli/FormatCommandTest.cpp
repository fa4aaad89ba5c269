#include "cli/FormatCommand.h"
#include "model/FileIO.h"
#include "CommandTesting.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using pathwicks::cli::runFormat;
namespace fs = std::filesystem;

namespace {

Outcome format(const std::vector<std::string>& args) {
    return runCommand(runFormat, args);
}

class FormatCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "pathwicks-format-XXXXXX").string();
        folder = mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};

} // namespace

// Each folder under documents/ holds an input and the exact bytes a save of it writes.
// PATHWICKS_UPDATE_EXPECTED=1 writes the expected files anew, to be read and committed.
TEST_F(FormatCommand, WritesWhatASaveWouldWrite) {
    const fs::path documents = PATHWICKS_FORMAT_DOCUMENTS;
    const bool update = std::getenv("PATHWICKS_UPDATE_EXPECTED") != nullptr;
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(documents)) {
        SCOPED_TRACE(entry.path().filename().string());
        ++cases;
        const fs::path input = entry.path() / "input.pathwicks";
        const Outcome run = format({input.string()});
        EXPECT_EQ(run.status, 0);
        const fs::path expected = entry.path() / "expected.pathwicks";
        // What the save leaves out of the input is told on standard error, one line each.
        const fs::path notices = entry.path() / "expected-notices.txt";
        std::string told = run.err;
        for (size_t at; (at = told.find(input.string())) != std::string::npos;)
            told.replace(at, input.string().size(), "INPUT");
        if (update) {
            writeText(expected, run.out);
            if (!told.empty())
                writeText(notices, told);
        }
        EXPECT_EQ(run.out, readText(expected));
        EXPECT_EQ(told, fs::exists(notices) ? readText(notices) : "");

        // What a save writes reads back to the very same bytes.
        const fs::path again = folder / "again.pathwicks";
        writeText(again, run.out);
        EXPECT_EQ(format({again.string()}).out, run.out);
    }
    EXPECT_GE(cases, 4);
}

TEST_F(FormatCommand, AReferenceWithoutAnIdGetsAFreshOneEachRun) {
    const fs::path file = folder / "noid.pathwicks";
    writeText(file, R"({"content": [{"title": "anonymous"}]})");
    const Outcome first = format({file.string()});
    const Outcome second = format({file.string()});
    EXPECT_NE(first.out.find("\"id\": \"pathwick-"), std::string::npos);
    EXPECT_NE(first.out, second.out);
}

TEST_F(FormatCommand, RefusesWhatIsNoDocumentAndLeavesItAlone) {
    writeText(folder / "broken.pathwicks", "{\"content\": [");
    writeText(folder / "array.pathwicks", "[1, 2]");
    writeText(folder / "latin1.pathwicks", "{\"title\": \"caf\xe9\"}");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"missing.pathwicks", "No such file"},
        {"broken.pathwicks", "not valid JSON"},
        {"array.pathwicks", "top level is not a JSON object"},
        {"latin1.pathwicks", "not valid JSON"},
        {".", "Is a directory"},
    };
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(name);
        const fs::path file = folder / name;
        const std::string before = fs::is_regular_file(file) ? readText(file) : "";
        for (const auto& args : {std::vector<std::string>{file.string()},
                                 std::vector<std::string>{"-i", file.string()}}) {
            const Outcome run = format(args);
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.out, "");
            EXPECT_NE(run.err.find(file.string()), std::string::npos) << run.err;
            EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        }
        if (fs::is_regular_file(file)) {
            EXPECT_EQ(readText(file), before);
        }
    }
}

TEST_F(FormatCommand, BadUsageExitsWithTwo) {
    for (const auto& args : {std::vector<std::string>{}, {"a", "b"}, {"-x", "a"}, {"-i"},
                             {"a", "-i"}}) {
        const Outcome run = format(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("usage: pathwicks format [-i] FILE"), std::string::npos);
    }
    // "--" ends the options, so a document may be named like one.
    writeText(folder / "-i", "{}");
    fs::current_path(folder);
    EXPECT_EQ(format({"--", "-i"}).status, 0);
}

TEST_F(FormatCommand, InPlaceRewritesThroughLinksKeepingPermissions) {
    const fs::path target = folder / "tour.pathwicks";
    writeText(target, R"({"window": "{{1, 2}, {3, 4}}", "content": [{"id": "pathwick-X"}]})");
    chmod(target.c_str(), 0604);
    const fs::path link = folder / "link.pathwicks";
    fs::create_symlink(target.filename(), link);

    const std::string expected = format({target.string()}).out;
    const Outcome run = format({"-i", link.string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readText(target), expected);
    EXPECT_EQ(expected.back(), '\n');
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
}

TEST_F(FormatCommand, InPlaceLeavesAReadOnlyDocumentAlone) {
    const fs::path file = folder / "kept.pathwicks";
    const std::string text = R"({"content": [{"id": "pathwick-X"}]})";
    writeText(file, text);
    chmod(file.c_str(), 0444);
    const Outcome run = format({"-i", file.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "pathwicks format: " + file.string() + ": is read-only; not changed\n");
    EXPECT_EQ(readText(file), text);
    // Printing it is no change.
    EXPECT_EQ(format({file.string()}).status, 0);
}
