#include "canvas/CanvasFit.h"
#include "canvas/ViewTransform.h"

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

// The canvas spans the content, left of the origin too, and at least the visible area.
TEST(CanvasFit, SpansTheContentAndTheVisibleAreaAndNeverShrinksOnItsOwn) {
    // A box reaching left of the origin: the canvas starts a margin before it.
    StepsModel leftOfOrigin = modelOf({{-50, 20, 200, 30}});
    const Rect fitted = fittedCanvasArea(leftOfOrigin, {}, {0, 0, 400, 300});
    EXPECT_EQ(fitted, (Rect{-70, 0, 470, 300}));
    EXPECT_EQ(fittedCanvasArea(leftOfOrigin, fitted, {0, 0, 400, 300}), fitted);
    // The box moves back right: the canvas stays as large as it was.
    leftOfOrigin.content()[0]->rect.x = 100;
    EXPECT_EQ(fittedCanvasArea(leftOfOrigin, fitted, {0, 0, 400, 300}), fitted);
    // It grows as soon as a box is made wider, and the visible area counts wherever it lies.
    leftOfOrigin.content()[0]->rect.width = 900;
    EXPECT_EQ(fittedCanvasArea(leftOfOrigin, fitted, {0, 0, 400, 300}), (Rect{-70, 0, 1170, 300}));
    EXPECT_EQ(fittedCanvasArea(leftOfOrigin, {}, {-500.5, -10, 100, 10}),
              (Rect{-500.5, -10, 1600.5, 80}));

    // The content counts in whole units, rounded outwards; a box with no place not at all.
    const StepsModel fraction = modelOf({{0, 0, 100.5, 10}, {NAN, 0, 5000, 10}});
    EXPECT_EQ(fittedCanvasArea(fraction, {}, {}), (Rect{0, 0, 101, 10}));
}

TEST(ViewTransform, MapsBothWaysAndKeepsTheAnchoredPointInPlace) {
    const ViewTransform view{2, {-100, 50}};
    EXPECT_EQ(view.toView(Point{-100, 50}), (Point{0, 0}));
    EXPECT_EQ(view.toView(Point{0, 100}), (Point{200, 100}));
    EXPECT_EQ(view.toDocument(Point{200, 100}), (Point{0, 100}));
    EXPECT_EQ(view.toDocument(Rect{0, 0, 50, 20}), (Rect{-100, 50, 25, 10}));
    EXPECT_EQ(view.toView(Rect{-100, 50, 25, 10}), (Rect{0, 0, 50, 20}));

    // Zooming: the document point under the pointer keeps its place in the visible part.
    const Point fixed{300, 400};
    const Point anchor{120, 80};
    for (double zoom : {0.1, 0.5, 1.0, 2.0, 4.0}) {
        const ViewTransform zoomed{zoom, {-200, -100}};
        const Point scroll = scrollKeeping(zoomed, fixed, anchor);
        const Point underPointer =
            zoomed.toDocument(Point{scroll.x + anchor.x, scroll.y + anchor.y});
        EXPECT_NEAR(underPointer.x, fixed.x, 1e-9);
        EXPECT_NEAR(underPointer.y, fixed.y, 1e-9);

        // From a view of 1000 by 600 pixels at 200 %: the point under the pointer stays.
        const ZoomedView about = zoomedAbout({-200, -100, 500, 300}, 2, zoom, anchor, {1000, 600});
        EXPECT_EQ(about.fixed, (Point{-140, -60}));
        EXPECT_NEAR(about.visible.x + anchor.x / zoom, -140, 1e-9);
        EXPECT_NEAR(about.visible.y + anchor.y / zoom, -60, 1e-9);
        EXPECT_NEAR(about.visible.width, 1000 / zoom, 1e-9);
    }
    const ZoomedView fitted = fittedView({-500, 0, 4000, 100}, {1040, 600});
    EXPECT_EQ(fitted.zoom, 0.25);
    EXPECT_EQ(fitted.visible, (Rect{-580, -1150, 4160, 2400})); // the items' middle in the middle
}

TEST(ViewTransform, ZoomsInStepsWithinItsLimitsAndFitsAtMostAtActualSize) {
    EXPECT_EQ(zoomedIn(1), 1.25);
    EXPECT_EQ(zoomedOut(1), 0.75);
    EXPECT_EQ(zoomedIn(2.0 / 3), 0.75); // 67 % goes on to the next step, not to itself
    EXPECT_EQ(zoomedIn(1.1), 1.25);
    EXPECT_EQ(zoomedIn(4), 4);
    EXPECT_EQ(zoomedOut(0.1), 0.1);
    EXPECT_EQ(clampedZoom(20), 4);
    EXPECT_EQ(clampedZoom(0), 0.1);
    EXPECT_EQ(clampedZoom(NAN), 1);
    EXPECT_EQ(zoomPercent(1.0 / 3), 33);

    // 20 pixels of room on every side.
    EXPECT_DOUBLE_EQ(fittingZoom({-500, 0, 4000, 100}, {1040, 600}), 0.25);
    EXPECT_EQ(fittingZoom({0, 0, 200, 100}, {1000, 600}), 1);
    EXPECT_EQ(fittingZoom({0, 0, 1e7, 100}, {1000, 600}), 0.1);
}
