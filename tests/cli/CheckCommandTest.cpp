#include "cli/CheckCommand.h"
#include "cli/Commands.h"

#include "goto/TempTree.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result check(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = pathwicks::cli::runCheck(args, out, err);
    return {status, out.str(), err.str()};
}

std::string reference(const std::string& id, const std::string& title,
                      const std::string& editor = "Xcode") {
    return R"({"id":")" + id + R"(","title":")" + title + R"(","editor":")" + editor +
           R"(","rect":"{{0, 0}, {80, 30}}","arrows":[]})";
}

std::string document(const std::vector<std::string>& references) {
    std::string content;
    for (const auto& r : references)
        content += (content.empty() ? "" : ",") + r;
    return R"({"window":"{{0, 0}, {800, 600}}","content":[)" + content + R"(],"labels":[]})";
}

} // namespace

TEST(CheckCommand, ReportsMissingAndDuplicatedMarkersInDocumentOrder) {
    TempTree tree;
    tree.write("src/one.c", "int a; // pathwick-ONE First step\n");
    tree.write("src/two.c", "\n// pathwick-TWO\n");
    tree.write("lib/two.h", "// pathwick-TWO again\n// pathwick-TWO and again\n");
    tree.write(".git/x.c", "// pathwick-MISSING\n");
    const auto file = tree.write(
        "walk.pathwicks",
        document({reference("pathwick-TWO", "Second step"), reference("pathwick-ONE", "First"),
                  reference("pathwick-MISSING", "Gone  away"), reference("", "No id"),
                  reference("pathwick-WEB", "Docs,https://example.org", "Safari"),
                  reference("pathwick-ONE", "Same box id")}));
    const auto result = check({file});
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(result.out, "duplicate pathwick-TWO Second step\n"
                          "  lib/two.h:1\n"
                          "  lib/two.h:2\n"
                          "  src/two.c:2\n"
                          "missing pathwick-MISSING Gone  away\n"
                          "missing  No id\n");
    EXPECT_EQ(result.err, "");
}

TEST(CheckCommand, SkipsWhatGitIgnoresUnlessToldNotTo) {
    TempTree tree;
    tree.write(".gitignore", "build/\n*.bak\n");
    tree.write("src/a.sh", "echo hi  # pathwick-A Shell step\n");
    tree.write("build/a.sh", "# pathwick-A\n");
    tree.write("src/a.sh.bak", "# pathwick-A\n");
    const auto file = tree.write("walk.pathwicks", document({reference("pathwick-A", "A")}));
    auto result = check({file});
    EXPECT_EQ(result.status, 0) << result.out;
    result = check({"--no-ignore", file});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "duplicate pathwick-A A\n  build/a.sh:1\n  src/a.sh:1\n  src/a.sh.bak:1\n");
}

TEST(CheckCommand, SucceedsSilentlyWhenEveryMarkerIsFoundOnce) {
    TempTree tree;
    tree.write("a.c", "// pathwick-A\r\n// pathwick-B title\r\n");
    const auto file =
        tree.write("sub/../walk.pathwicks",
                   document({reference("pathwick-A", "A"), reference("pathwick-B", "B"),
                             reference("x", "Web,http://x", "Safari")}));
    const auto result = check({file});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    // Through the dispatcher, as the program runs it.
    std::ostringstream out, err;
    EXPECT_EQ(pathwicks::cli::runCommand({"check", file}, out, err), 0);
}

TEST(CheckCommand, RefusesBadUsageAndUnreadableDocuments) {
    TempTree tree;
    const auto broken = tree.write("broken.pathwicks", "{\"content\": [");
    const auto list = tree.write("list.pathwicks", "[1, 2]");
    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"a", "b"},
                                                                  {"-x", "a"},
                                                                  {tree.path("absent.pathwicks")},
                                                                  {tree.path()},
                                                                  {broken},
                                                                  {list}}) {
        const auto result = check(args);
        EXPECT_EQ(result.status, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(result.err.empty());
    }
}

TEST(CheckCommand, OutputCannotBeMisreadAndListsAHundredPlacesPerId) {
    TempTree tree;
    // A path with a line feed and an escape sequence, an id with a space and a backslash, a
    // title that turns the text around.
    tree.write("odd\nname\x1b[2J.c", "// pathwick-A\\B x\n// pathwick-A\\B x\n");
    std::string many;
    for (int i = 0; i < 150; ++i)
        many += "// pathwick-MANY\n";
    tree.write("many.c", many);
    const auto file = tree.write(
        "walk.pathwicks", document({reference("pathwick-A\\\\B x", "Title \u202e\\u2066evil"),
                                    reference("pathwick-MANY", "Many"),
                                    reference("gone\\u0007 id", "line\\nbreak\\r")}));
    const auto result = check({file});
    EXPECT_EQ(result.status, 1) << result.err;
    // Each place on a line of its own; a hundred places, then the count of the rest.
    std::string expected = "duplicate pathwick-A\\\\B\\x20x Title \\u202e\\u2066evil\n"
               "  odd\\nname\\x1b[2J.c:1\n"
               "  odd\\nname\\x1b[2J.c:2\n"
               "duplicate pathwick-MANY Many\n";
    for (int line = 1; line <= 100; ++line)
        expected += "  many.c:" + std::to_string(line) + "\n";
    expected += "  and 50 more\n"
                "missing gone\\x07\\x20id line\\nbreak\\r\n";
    EXPECT_EQ(result.out, expected);
}
