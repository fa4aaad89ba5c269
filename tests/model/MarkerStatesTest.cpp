#include "model/MarkerStates.h"

#include <gtest/gtest.h>

using namespace pathwicks;

namespace {

ReferencePtr box(const std::string& id, double x, double y, const char* editor = "VS Code") {
    auto reference = std::make_shared<Reference>();
    reference->id = id;
    reference->title = id;
    reference->editor = editor;
    reference->rect = {x, y, 100, 40};
    return reference;
}

MarkerStates statesOf(std::initializer_list<std::pair<std::string, size_t>> counts) {
    MarkerStates states;
    states.folder = "/work";
    for (const auto& [id, count] : counts) {
        std::vector<MarkerLocation> places;
        for (size_t i = 0; i < count; ++i)
            places.push_back({"src/" + id + ".c", i + 1});
        states.places[id] = places;
    }
    return states;
}

std::vector<std::string> problemsFrom(const StepsModel& model, const MarkerStates& states,
                                      const Reference* start, size_t steps) {
    std::vector<std::string> visited;
    const Reference* current = start;
    for (size_t i = 0; i < steps; ++i) {
        const ReferencePtr next = nextProblem(model, states, current);
        visited.push_back(next ? next->id : "none");
        current = next.get();
    }
    return visited;
}

} // namespace

TEST(MarkerStates, StatesAndSummaryCountFoundMissingAndDuplicatedBoxesOnly) {
    StepsModel model;
    model.setContent({box("A", 0, 0), box("B", 0, 100), box("C", 0, 200),
                      box("W", 0, 300, webLinkEditorName), box("New", 0, 400)});
    const MarkerStates states = statesOf({{"A", 1}, {"B", 0}, {"C", 3}, {"W", 0}});
    const auto& c = model.content();
    EXPECT_EQ(states.stateOf(*c[0]), MarkerState::found);
    EXPECT_EQ(states.stateOf(*c[1]), MarkerState::missing);
    EXPECT_EQ(states.stateOf(*c[2]), MarkerState::duplicated);
    // Web links have no state, nor do boxes made since the check.
    EXPECT_EQ(states.stateOf(*c[3]), std::nullopt);
    EXPECT_EQ(states.stateOf(*c[4]), std::nullopt);

    EXPECT_EQ(summaryText(summarize(model, states)), "3 boxes: 1 found, 1 missing, 1 duplicated");
    EXPECT_EQ(summaryText(summarize(model, statesOf({{"A", 1}, {"B", 1}, {"C", 1}}))),
              "3 boxes: 3 found");
    StepsModel one;
    one.setContent({box("A", 0, 0)});
    EXPECT_EQ(summaryText(summarize(one, statesOf({{"A", 0}}))), "1 box: 0 found, 1 missing");
    MarkerStates unreadable = statesOf({{"A", 1}});
    unreadable.unreadable = 2;
    EXPECT_EQ(summaryText(summarize(one, unreadable)),
              "1 box: 1 found (2 files or folders could not be read)");
}

TEST(MarkerStates, NextProblemGoesTopToBottomThenLeftToRightAndWrapsAround) {
    StepsModel model;
    // In the document's order: not the reading order.
    model.setContent({box("low-right", 400, 300), box("top-right", 500, 10),
                      box("fine", 0, 5), box("top-left", 20, 10), box("low-left", 10, 300),
                      box("web", 0, 0, webLinkEditorName)});
    const MarkerStates states = statesOf({{"low-right", 0},
                                          {"top-right", 2},
                                          {"fine", 1},
                                          {"top-left", 0},
                                          {"low-left", 4},
                                          {"web", 0}});
    EXPECT_EQ(problemsFrom(model, states, nullptr, 5),
              (std::vector<std::string>{"top-left", "top-right", "low-left", "low-right",
                                        "top-left"}));
    // From a box without a problem: the next one after it in reading order.
    EXPECT_EQ(problemsFrom(model, states, model.content()[2].get(), 1),
              std::vector<std::string>{"top-left"});
    const auto lowLeft = model.content()[4];
    EXPECT_EQ(problemsFrom(model, states, lowLeft.get(), 1), std::vector<std::string>{"low-right"});

    // The only problem is the next one from itself; with none, nothing.
    const MarkerStates single = statesOf({{"low-right", 0}, {"top-right", 1}, {"fine", 1},
                                          {"top-left", 1}, {"low-left", 1}});
    EXPECT_EQ(problemsFrom(model, single, model.content()[0].get(), 2),
              (std::vector<std::string>{"low-right", "low-right"}));
    const MarkerStates none = statesOf({{"low-right", 1}, {"top-right", 1}});
    EXPECT_EQ(nextProblem(model, none, nullptr), nullptr);
    EXPECT_EQ(nextProblem(model, MarkerStates{}, nullptr), nullptr);
}
