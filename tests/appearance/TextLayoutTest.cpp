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

// Counts the bytes it is asked to measure.
class CountingMeasurer : public testing::FakeLayoutMeasurer {
public:
    Size measureText(std::string_view text, const TextAttributes& attributes) const override {
        measured += text.size();
        return FakeLayoutMeasurer::measureText(text, attributes);
    }
    mutable size_t measured = 0;
};

TEST(TextLayout, AMegabyteTitleIsBrokenOnlyAsFarAsItsBoxShowsIt) {
    // Breaking all of it, and measuring the rest again for every line, took minutes a paint.
    std::string title;
    while (title.size() < 1'000'000)
        title += "A long title. ";
    for (const std::string& text : {title, std::string(1'000'000, 'W')}) {
        CountingMeasurer measurer;
        DrawList list;
        appendText(list, text, {0, 0, 200, 50}, TextStyle::reference, opaqueBlack, measurer);
        EXPECT_LT(measurer.measured, 100'000u);
        // The same lines as the title's start alone gives.
        DrawList start;
        appendText(start, std::string_view(text).substr(0, 1000), {0, 0, 200, 50},
                   TextStyle::reference, opaqueBlack, measurer);
        ASSERT_EQ(list.size(), start.size());
        for (size_t i = 0; i < list.size(); ++i) {
            EXPECT_EQ(std::get<TextOp>(list[i]).text, std::get<TextOp>(start[i]).text);
            EXPECT_EQ(std::get<TextOp>(list[i]).baseline, std::get<TextOp>(start[i]).baseline);
        }
    }
}

} // namespace
} // namespace pathwicks
