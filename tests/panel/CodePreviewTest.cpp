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

// Controls that reorder a line unseen (a comment that reads as code) are named where they stand.
TEST(CodePreview, BidirectionalControlsAreNamed) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"a\u202Eb", "a<U+202E>b"},   {"\u202A\u202B\u202C\u202D", "<U+202A><U+202B><U+202C><U+202D>"},
        {"x\u2066y\u2069", "x<U+2066>y<U+2069>"}, {"\u2067\u2068", "<U+2067><U+2068>"},
        {"\u200E\u200F\u061C", "<U+200E><U+200F><U+061C>"},
        {"caf\u00E9 \u2028 \u200D", "caf\u00E9 \u2028 \u200D"}, // other characters stay
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(showBidiControls(text), shown) << text;

    TempTree tree;
    const std::string file =
        tree.write("trojan.c", "/*\u202E } \u2066if (admin)\u2069 \u2066 begin admins only */\n\tok;\n");
    const CodePreview preview = readCodePreview(file, 1);
    ASSERT_EQ(preview.lines.size(), 2u);
    EXPECT_EQ(preview.lines[0], "/*<U+202E> } <U+2066>if (admin)<U+2069> <U+2066> begin admins only */");
    EXPECT_EQ(preview.lines[1], "    ok;");
}

// A line of any length is passed over or cut without being kept whole, before the marker and at
// it, with or without a line end after it.
TEST(CodePreview, LinesOfAnyLengthAreReadInBoundedParts) {
    TempTree tree;
    const std::string huge(8 * 1024 * 1024, 'y');
    const std::string cut = std::string(previewLineLimit, 'y') + "…";
    const struct {
        std::string text;
        uint64_t line;
        std::vector<std::string> shown;
    } cases[] = {
        {huge + "\nmarker\r\nnext", 2, {"marker", "next"}},
        {"marker\n" + huge + "\r\n", 1, {"marker", cut}},
        {huge, 1, {cut}},
        {"a\n" + huge, 3, {}},
    };
    for (const auto& each : cases) {
        const CodePreview preview = readCodePreview(tree.write("long.js", each.text), each.line);
        EXPECT_EQ(preview.lines, each.shown) << each.line;
    }
}
