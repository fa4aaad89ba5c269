#include "app/FramePlacement.h"

#include <gtest/gtest.h>

using namespace pathwicks;

namespace {

const Size least{480, 320};
const Size fallback{1000, 700};
// A laptop screen with a top panel, and a larger screen to its right.
const ScreenArea laptop{{0, 0, 1280, 800}, {0, 30, 1280, 770}};
const ScreenArea monitor{{1280, 0, 1920, 1080}, {1280, 0, 1920, 1080}};

Rect place(std::optional<Rect> saved, std::vector<ScreenArea> screens = {laptop, monitor}) {
    return placeFrame(saved, screens, least, fallback);
}

TEST(FramePlacement, NoUsableFrameGivesTheDefaultSizeCentredOnTheFirstScreen) {
    const Rect centred{140, 65, 1000, 700};
    EXPECT_EQ(place(std::nullopt), centred);
    EXPECT_EQ(place(Rect{300, 300, 0, 0}), centred); // text that read as the zero rectangle
    EXPECT_EQ(place(Rect{300, 300, -50, 400}), centred);
    // Without any screen, a common screen size stands in.
    EXPECT_EQ(place(std::nullopt, {}), (Rect{140, 50, 1000, 700}));
}

TEST(FramePlacement, AFrameThatFitsStaysWhereItWas) {
    EXPECT_EQ(place(Rect{100, 80, 500, 400}), (Rect{100, 80, 500, 400}));
    EXPECT_EQ(place(Rect{1500, 100, 800, 600}), (Rect{1500, 100, 800, 600})); // second screen
    EXPECT_EQ(place(Rect{100.4, 79.6, 500.5, 400}), (Rect{100, 80, 501, 400}));
}

TEST(FramePlacement, AFrameIsKeptOnItsScreenAndWithinItsSize) {
    // Under the top panel: moved down onto the usable part.
    EXPECT_EQ(place(Rect{100, 0, 500, 400}), (Rect{100, 30, 500, 400}));
    // Hanging off the second screen's right edge: moved back, on that screen.
    EXPECT_EQ(place(Rect{3000, 100, 400, 300}), (Rect{2720, 100, 480, 320}));
    // Larger than its screen: as large as the usable part, top left on it.
    EXPECT_EQ(place(Rect{10, 40, 2000, 1500}), (Rect{0, 30, 1280, 770}));
    // Smaller than the least size: grown to it.
    EXPECT_EQ(place(Rect{100, 80, 200, 100}), (Rect{100, 80, 480, 320}));
}

TEST(FramePlacement, AFrameOnNoScreenIsCentredOnTheFirst) {
    EXPECT_EQ(place(Rect{-5000, -5000, 600, 400}), (Rect{340, 215, 600, 400}));
}

} // namespace
