#include "appearance/SvgWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace pathwicks {
namespace {

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(SvgWriter, SizeIsBareNumbersWithAMatchingViewBox) {
    const std::string svg = SvgWriter("sans-serif").write({}, {780, 360});
    EXPECT_TRUE(has(svg, R"(width="780" height="360" viewBox="0 0 780 360")")) << svg;
    EXPECT_TRUE(has(svg, "</svg>"));
}

TEST(SvgWriter, WritesShapesWithTheirColoursAndStrokes) {
    DrawList list;
    list.push_back(RectOp{{10, 20, 140, 50}, 8, Color{1, 1, 1, 1}, Color{0, 0, 0, 0.5}, 2});
    list.push_back(RectOp{{60, 60, -50, -50}, 0, Color{2, -1, 0.5, 1}, std::nullopt, 1});
    list.push_back(LinesOp{{{{0, 0}, {0, 100}}, {{0.12345678, 1}, {2, 3}}},
                           Color{0, 0, 1, 1},
                           1,
                           LineCap::butt,
                           {4, 6},
                           10});
    list.push_back(LinesOp{{{{1, 1}, {2, 2}}}, Color{0, 0, 0, 1}, 0, LineCap::round, {}, 0});
    const std::string svg = SvgWriter("sans-serif").write(list, {100, 100});
    EXPECT_TRUE(has(
        svg,
        R"(<rect x="10" y="20" width="140" height="50" rx="8" ry="8" fill="#ffffff" stroke="#000000" stroke-opacity="0.5" stroke-width="2"/>)"))
        << svg;
    // Normalised, and components beyond 0 to 1 clamped.
    EXPECT_TRUE(has(svg, R"(<rect x="10" y="10" width="50" height="50" fill="#ff0080"/>)")) << svg;
    EXPECT_TRUE(has(svg, R"(d="M0 0L0 100 M0.1235 1L2 3")")) << svg;
    EXPECT_TRUE(has(svg, R"(stroke-dasharray="4 6" stroke-dashoffset="10")"));
    EXPECT_TRUE(has(svg, R"(vector-effect="non-scaling-stroke" stroke-linecap="round")")) << svg;
}

TEST(SvgWriter, TextStaysTextEscapedAndClipped) {
    DrawList list;
    const Rect box{0, 8, 140, 50};
    list.push_back(TextOp{"a < b & \"c\"\x01", TextStyle::reference, 70, 20, 50, box, opaqueBlack});
    list.push_back(TextOp{"second", TextStyle::reference, 70, 35, 40, box, opaqueBlack});
    list.push_back(TextOp{"label", TextStyle::label, 70, 80, 40, {0, 60, 140, 30}, opaqueBlack});
    const std::string svg = SvgWriter("'DejaVu Sans', sans-serif").write(list, {200, 200});
    EXPECT_TRUE(has(svg, ">a &lt; b &amp; &quot;c&quot;</text>")) << svg;
    EXPECT_TRUE(has(svg, R"(font-family="&apos;DejaVu Sans&apos;, sans-serif" font-size="12")"));
    EXPECT_TRUE(has(svg, R"(font-size="24")"));
    EXPECT_TRUE(has(svg, R"(text-anchor="middle")"));
    // The two lines of one title share a clip; the label has its own.
    EXPECT_TRUE(has(svg, R"(<clipPath id="c1"><rect x="0" y="8" width="140" height="50"/>)"));
    EXPECT_TRUE(has(svg, R"(<clipPath id="c2"><rect x="0" y="60")"));
    EXPECT_FALSE(has(svg, R"(id="c3")"));
}

// Text cut inside a character, or never UTF-8, and the characters XML forbids never reach
// the picture; what is valid stays as it was.
TEST(SvgWriter, TextHoldsOnlyWhatXmlAllows) {
    DrawList list;
    const std::string text = "ok \xc3\xa9 \xe2\x82 cut \xff\xfe bytes \xef\xbf\xbe\xef\xbf\xbf "
                             "\xed\xa0\x80 \xc0\xaf \x1b\x7f \xf0\x9f\x98\x80";
    list.push_back(TextOp{text, TextStyle::reference, 70, 20, 50, {0, 8, 140, 50}, opaqueBlack});
    const std::string svg = SvgWriter("font\x02\xff").write(list, {200, 200});
    const std::string replacement = "\xef\xbf\xbd";
    EXPECT_TRUE(has(svg, ">ok \xc3\xa9 " + replacement + replacement + " cut " + replacement +
                             replacement + " bytes  " + replacement + replacement + replacement +
                             " " + replacement + replacement + " \x7f \xf0\x9f\x98\x80</text>"))
        << svg;
    EXPECT_TRUE(has(svg, "font-family=\"font" + replacement + "\""));
    if (std::system("command -v xmllint > /dev/null") != 0)
        GTEST_SKIP() << "xmllint is not installed (scripts/install-deps installs it)";
    FILE* parser = ::popen("xmllint --noout - 2>/dev/null", "w");
    ASSERT_TRUE(parser);
    std::fwrite(svg.data(), 1, svg.size(), parser);
    EXPECT_EQ(::pclose(parser), 0) << svg;
}

} // namespace
} // namespace pathwicks
