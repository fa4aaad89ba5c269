#include "panel/CodePreview.h"

#include "goto/TempTree.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pathwicks;

namespace {

std::string numberedLines(int count, const std::string& prefix = "line ") {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += prefix + std::to_string(i) + "\n";
    return text;
}

} // namespace

TEST(CodePreview, ShowsTheMarkerLineAndTwelveAfterWithTabsExpandedAndNothingElseChanged) {
    TempTree tree;
    const std::string file = tree.write(
        "a.c", numberedLines(4) + "\t// pathwick-1 Parse\r\n" + "a\tb\tc\n" + "é\tx\n" +
                   "<b>&amp;</b> \x1b[31m\n" + numberedLines(30, "after "));
    const CodePreview preview = readCodePreview(file, 5);
    ASSERT_EQ(preview.status, CodePreview::Status::shown);
    ASSERT_EQ(preview.lines.size(), 1 + previewLinesAfter);
    EXPECT_EQ(preview.lines[0], "    // pathwick-1 Parse");
    EXPECT_EQ(preview.lines[1], "a   b   c");
    // A character of several bytes takes one column.
    EXPECT_EQ(preview.lines[2], "é   x");
    EXPECT_EQ(preview.lines[3], "<b>&amp;</b> \x1b[31m");
    EXPECT_EQ(preview.lines.back(), "after 9");

    // Near the end: what there is; past it: told apart from an unreadable file.
    const std::string shortFile = tree.write("b.c", "one\ntwo\nthree");
    EXPECT_EQ(readCodePreview(shortFile, 2).lines, (std::vector<std::string>{"two", "three"}));
    EXPECT_EQ(readCodePreview(shortFile, 9).status, CodePreview::Status::tooShort);
}

TEST(CodePreview, LongLinesAreCutAndLinesFarIntoABigFileAreFound) {
    TempTree tree;
    const std::string longLine(previewLineLimit * 3, 'x');
    // Far beyond the first read, so the file is read in several parts.
    const std::string file =
        tree.write("big.js", numberedLines(40000) + longLine + "\nnext\n");
    const CodePreview preview = readCodePreview(file, 40001);
    ASSERT_EQ(preview.status, CodePreview::Status::shown);
    EXPECT_EQ(preview.lines[0], std::string(previewLineLimit, 'x') + "…");
    EXPECT_EQ(preview.lines[1], "next");
    EXPECT_EQ(readCodePreview(file, 39999).lines.front(), "line 39999");
}

TEST(CodePreview, BinaryVanishedAndOddFilesShowNoPreview) {
    TempTree tree;
    const std::string binary = tree.write("logo.png", std::string("// pathwick-1 x\n\0\x89PNG", 21));
    EXPECT_EQ(readCodePreview(binary, 1).status, CodePreview::Status::notText);
    EXPECT_TRUE(readCodePreview(binary, 1).lines.empty());

    const std::string gone = tree.write("gone.c", "// pathwick-1 x\n");
    std::filesystem::remove(gone);
    EXPECT_EQ(readCodePreview(gone, 1).status, CodePreview::Status::unreadable);
    EXPECT_EQ(readCodePreview(tree.path(), 1).status, CodePreview::Status::unreadable);
    EXPECT_EQ(readCodePreview(tree.write("c.c", "x\n"), 0).status,
              CodePreview::Status::unreadable);
    EXPECT_TRUE(looksBinary(std::string("ab\0", 3)));
    EXPECT_FALSE(looksBinary("plain text"));
}
