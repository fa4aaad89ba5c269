#include "canvas/CanvasFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace pathwicks;

namespace {

StepsModel modelOf(const std::vector<Rect>& boxes) {
    StepsModel model;
    for (const Rect& rect : boxes) {
        auto reference = std::make_shared<Reference>();
        reference->rect = rect;
        model.appendReference(reference);
    }
    return model;
}

} // namespace

// The canvas takes the content's size, the picture export's too, and at least the visible area.
TEST(CanvasFit, GrowsToTheContentOrTheVisibleAreaAndNeverShrinksOnItsOwn) {
    // Left of the origin: no near margin, and the far edge is not cut off.
    const StepsModel leftOfOrigin = modelOf({{-50, 20, 200, 30}});
    EXPECT_EQ(fittedCanvasSize(leftOfOrigin, {0, 0}, {400, 300}), (Size{400, 300}));
    EXPECT_EQ(fittedCanvasSize(leftOfOrigin, {400, 300}, {400, 300}), std::nullopt);
    EXPECT_EQ(fittedCanvasSize(leftOfOrigin, {100, 60}, {100, 60}), (Size{150, 70}));
    EXPECT_EQ(fittedCanvasSize(leftOfOrigin, {150, 70}, {100, 60}), std::nullopt);

    // Whole pixels, rounded up; a box with no place leaves the visible area.
    const StepsModel fraction = modelOf({{0, 0, 100.5, 10}, {NAN, 0, 5000, 10}});
    EXPECT_EQ(fittedCanvasSize(fraction, {100, 10}, {0, 0}), (Size{101, 10}));
    EXPECT_EQ(fittedCanvasSize(fraction, {101, 10}, {0, 0}), std::nullopt);
    EXPECT_EQ(fittedCanvasSize(modelOf({{NAN, 0, 10, 10}}), {0, 0}, {30, 20}), (Size{30, 20}));
}
