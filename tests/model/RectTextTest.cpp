#include "model/RectText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace pathwicks;

TEST(RectText, ReadsTheFirstFourNumbers) {
    EXPECT_EQ(rectFromString("{{10, 20}, {140, 50}}"), (Rect{10, 20, 140, 50}));
    EXPECT_EQ(rectFromString("{{10, 20}}"), (Rect{10, 20, 0, 0}));
    EXPECT_EQ(rectFromString("abc"), Rect{});
    EXPECT_EQ(rectFromString(""), Rect{});
    EXPECT_EQ(rectFromString("{{1, 2}, {3, 4}, {5, 6}}"), (Rect{1, 2, 3, 4}));
    EXPECT_EQ(rectFromString("x=7 y=-8 w=9.5 h=10"), (Rect{7, -8, 9.5, 10}));
}

TEST(RectText, ReadsSignsFractionsAndExponents) {
    EXPECT_EQ(rectFromString("{{-12.5, +3}, {1e3, .5}}"), (Rect{-12.5, 3, 1000, 0.5}));
    EXPECT_EQ(rectFromString("{{2E2, 1e-1}, {5., 1.5e+2}}"), (Rect{200, 0.1, 5, 150}));
    // A sign or an exponent marker without digits is no part of a number.
    EXPECT_EQ(rectFromString("{{- 4, 3e}, {e5, .}}"), (Rect{4, 3, 5, 0}));
}

TEST(RectText, KeepsEveryValueWithinWhatTheCanvasCanShow) {
    EXPECT_EQ(rectFromString("{{1e400, -1e400}, {2000000, -1000001}}"),
              (Rect{0, 0, 1'000'000, -1'000'000}));
    EXPECT_EQ(rectFromString("{{1e-400, 1000000}, {-1000000, 999999.5}}"),
              (Rect{0, 1'000'000, -1'000'000, 999999.5}));
    const std::string digits(500, '9');
    EXPECT_EQ(rectFromString("{{" + digits + ", 1}, {2, 3}}"), (Rect{0, 1, 2, 3}));
}

TEST(RectText, WritesIntegralValuesWithoutAFraction) {
    EXPECT_EQ(stringFromRect({120, 40, 140, 50}), "{{120, 40}, {140, 50}}");
    EXPECT_EQ(stringFromRect({-0.0, 1'000'000, -1'000'000, 0}), "{{0, 1000000}, {-1000000, 0}}");
    EXPECT_EQ(stringFromRect({0.5, -12.25, 0.1, 1e-7}), "{{0.5, -12.25}, {0.1, 1e-07}}");
}

TEST(RectText, NonFiniteValuesAreWrittenAsZero) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(stringFromRect({inf, -inf, std::nan(""), 1}), "{{0, 0}, {0, 1}}");
}

TEST(RectText, EveryWrittenValueReadsBackExactly) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> coordinate(-1'000'000, 1'000'000);
    std::uniform_int_distribution<int> exponent(-300, 5);
    for (int i = 0; i < 20000; ++i) {
        Rect rect{coordinate(random), std::round(coordinate(random)),
                  coordinate(random) / 7, std::ldexp(1.0, exponent(random))};
        EXPECT_EQ(rectFromString(stringFromRect(rect)), rect) << stringFromRect(rect);
    }
}
