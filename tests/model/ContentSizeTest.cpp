#include "model/ContentSize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace pathwicks;

namespace {

StepsModel modelOf(const std::vector<Rect>& boxes, const std::vector<Rect>& labels = {}) {
    StepsModel model;
    for (const Rect& rect : boxes) {
        auto reference = std::make_shared<Reference>();
        reference->rect = rect;
        model.appendReference(reference);
    }
    for (const Rect& rect : labels) {
        auto label = std::make_shared<Label>();
        label->rect = rect;
        model.labels.push_back(label);
    }
    return model;
}

} // namespace

TEST(ContentSize, IsTheReachOfTheItemsWithAFarMarginLikeTheNearOne) {
    // Reach 300 by 110.5 from near edges 40 and 60; a box drawn leftwards counts by its edges.
    EXPECT_EQ(contentSize(modelOf({{40, 60, 220, 50.5}, {300, 80, -100, 20}})), (Size{340, 171}));
}

// Whatever lies left of or above the origin is in the picture too, with a margin around it.
TEST(ContentSize, ReachesItemsLeftOfAndAboveTheOrigin) {
    // A label counts like a box; one reaching left of the origin moves the start there.
    const StepsModel left = modelOf({{40, 60, 220, 50}}, {{-30, 70, 400, 10}});
    EXPECT_EQ(contentBounds(left), (Rect{-50, 0, 440, 170}));
    EXPECT_EQ(contentSize(left), (Size{440, 170}));
    EXPECT_EQ(contentBounds(modelOf({}, {{-30.5, -20, 10, 10}})), (Rect{-51, -40, 51, 50}));
    EXPECT_EQ(itemBounds(modelOf({{40, 60, 220, 50}}, {{-30, 70, 400, 10}})),
              (Rect{-30, 60, 400, 50}));
    EXPECT_EQ(itemBounds(modelOf({})), std::nullopt);
}

TEST(ContentSize, IsAtLeastOneByOneAndSkipsWhatHasNoPlace) {
    EXPECT_EQ(contentSize(modelOf({})), (Size{1, 1}));
    EXPECT_EQ(contentSize(modelOf({{0, 0, 0, 0}})), (Size{1, 1}));
    EXPECT_EQ(contentSize(modelOf({{NAN, 0, 10, 10}}, {{0, 0, 10, NAN}})), (Size{1, 1}));
    EXPECT_EQ(contentSize(modelOf({{NAN, 0, 900, 900}, {10, 20, 30, 40}})), (Size{50, 80}));

    // An item reaching right or down without end makes that side infinite, and only that one;
    // one reaching the other way has no far edge there.
    EXPECT_EQ(contentSize(modelOf({{0, 10, INFINITY, 20}})), (Size{INFINITY, 40}));
    EXPECT_EQ(contentSize(modelOf({{-INFINITY, 10, 50, 20}})), (Size{1, 40}));
    // Starting without end and reaching back as far leaves an edge of no number: not counted.
    EXPECT_EQ(contentSize(modelOf({{10, 0, 10, 5}, {-INFINITY, 0, INFINITY, 5}})), (Size{20, 5}));
}
