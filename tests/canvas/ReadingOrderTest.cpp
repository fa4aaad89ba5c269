// The tour, Find and Next Problem read the boxes in one order.
#include "canvas/Find.h"
#include "model/MarkerStates.h"
#include "model/StepsModel.h"
#include "model/TourOrder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace pathwicks {
namespace {

TEST(ReadingOrder, TourFindAndNextProblemAgreeOnBoxesOfNegativeSize) {
    // Each box as {x, y, width, height}: one of negative width or height reads by the top-left
    // corner it is drawn with, not by its stored x and y (which would read "bcda").
    StepsModel model;
    MarkerStates states;
    for (const auto& [id, rect] : {std::pair{"c", Rect{500, 60, -400, 40}},
                                   std::pair{"b", Rect{0, 50, 100, 40}},
                                   std::pair{"a", Rect{300, 100, -200, -80}},
                                   std::pair{"d", Rect{50, 100, 100, -40}}}) {
        auto box = std::make_shared<Reference>();
        box->id = id;
        box->title = std::string("box ") + id;
        box->editor = "VS Code";
        box->rect = rect;
        model.appendReference(box);
        states.places[id] = {}; // missing: every box is a problem
    }
    const std::string expected = "abdc";

    std::string tour;
    for (const auto& box : tourOrder(model))
        tour += box->id;
    std::string found;
    std::string problems;
    std::optional<FoundItem> item;
    const Reference* problem = nullptr;
    for (size_t i = 0; i < expected.size(); ++i) {
        item = findItem(model, "box", item, false);
        found += item->reference->id;
        const ReferencePtr next = nextProblem(model, states, problem);
        problems += next->id;
        problem = next.get();
    }
    EXPECT_EQ(tour, expected);
    EXPECT_EQ(found, expected);
    EXPECT_EQ(problems, expected);
}

} // namespace
} // namespace pathwicks
