#include "appearance/TextLayout.h"

#include "appearance/FakeLayoutMeasurer.h"

#include <gtest/gtest.h>

namespace pathwicks {
namespace {

// Reference titles measure 6 points a byte, 15 points a line, baseline 12 down.
std::vector<TextOp> lay(std::string_view text, Rect rect) {
    DrawList list;
    appendText(list, text, rect, TextStyle::reference, opaqueBlack, testing::FakeLayoutMeasurer());
    std::vector<TextOp> lines;
    for (const auto& op : list)
        lines.push_back(std::get<TextOp>(op));
    return lines;
}

std::vector<std::string> texts(const std::vector<TextOp>& lines) {
    std::vector<std::string> result;
    for (const auto& line : lines)
        result.push_back(line.text);
    return result;
}

TEST(TextLayout, ATitleThatFitsIsOneCentredLine) {
    auto lines = lay("Step", {10, 20, 100, 50});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].centerX, 60);
    EXPECT_EQ(lines[0].baseline, 32);
    EXPECT_EQ(lines[0].width, 24);
    EXPECT_EQ(lines[0].clip, (Rect{10, 20, 100, 50}));
}

TEST(TextLayout, WrapsBetweenWordsAndInsideWordsTooLongForALine) {
    // 60 points hold ten bytes.
    EXPECT_EQ(texts(lay("alpha beta gamma", {0, 0, 60, 100})),
              (std::vector<std::string>{"alpha beta", "gamma"}));
    EXPECT_EQ(texts(lay("abcdefghijklmnopqrstuvwxy z", {0, 0, 60, 100})),
              (std::vector<std::string>{"abcdefghij", "klmnopqrst", "uvwxy z"}));
    EXPECT_EQ(texts(lay("one\ntwo\r\n\nthree", {0, 0, 60, 100})),
              (std::vector<std::string>{"one", "two", "three"}));
    auto lines = lay("alpha beta gamma", {0, 0, 60, 100});
    EXPECT_EQ(lines[1].baseline, 15 + 12);
}

TEST(TextLayout, NeverSplitsACharacterAcrossLines) {
    // "é" is two bytes, 12 points here; a 10-point box still takes one whole character a line.
    EXPECT_EQ(texts(lay("éé", {0, 0, 10, 100})), (std::vector<std::string>{"é", "é"}));
}

TEST(TextLayout, LinesBelowTheRectangleAreLeftOut) {
    EXPECT_EQ(lay("a b c d e f", {0, 0, 6, 31}).size(), 3u); // tops at 0, 15 and 30
    EXPECT_TRUE(lay("", {0, 0, 60, 60}).empty());
    EXPECT_TRUE(lay("text", {0, 0, 0, 60}).empty());
    EXPECT_TRUE(lay("text", {0, 0, 60, 0}).empty());
}

} // namespace
} // namespace pathwicks
