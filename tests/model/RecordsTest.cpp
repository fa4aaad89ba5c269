#include "FakeTextMeasurer.h"

#include "model/Label.h"
#include "model/Reference.h"
#include "model/StepsModel.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <regex>

using namespace pathwicks;
using nlohmann::json;

namespace {

bool isUuidText(const std::string& text) {
    static const std::regex pattern("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    return std::regex_match(text, pattern);
}

ReferencePtr referenceWith(const std::string& editor, const std::string& title) {
    return Reference::fromDictionary({{"editor", editor}, {"title", title}, {"id", "pathwick-1"}});
}

} // namespace

TEST(Records, AnEmptyDictionaryGivesTheDefaults) {
    auto reference = Reference::fromDictionary(json::object());
    ASSERT_EQ(reference->id.size(), 45u);
    EXPECT_EQ(reference->id.substr(0, 9), "pathwick-");
    EXPECT_TRUE(isUuidText(reference->id.substr(9)));
    EXPECT_EQ(reference->title, "Unnamed");
    EXPECT_EQ(reference->editor, "Xcode");
    EXPECT_EQ(reference->rect, Rect{});
    EXPECT_FALSE(reference->selected);
    EXPECT_EQ(reference->index, 0);

    auto label = Label::fromDictionary(json::object());
    EXPECT_TRUE(isUuidText(label->id()));
    EXPECT_EQ(label->title(), "Unnamed");
    EXPECT_EQ(label->rect, Rect{});
}

TEST(Records, GeneratedIdsDiffer) {
    EXPECT_NE(Reference::fromDictionary(json::object())->id,
              Reference::fromDictionary(json::object())->id);
    EXPECT_NE(Label::fromDictionary(json::object())->id(),
              Label::fromDictionary(json::object())->id());
}

TEST(Records, IllTypedValuesTakeTheirFallbacks) {
    auto reference = Reference::fromDictionary(
        {{"id", 12}, {"title", 5}, {"editor", json::array({"Atom"})}, {"rect", 3}});
    EXPECT_EQ(reference->id.size(), 45u);
    EXPECT_EQ(reference->title, "Unnamed");
    EXPECT_EQ(reference->editor, "Xcode");
    EXPECT_EQ(reference->rect, Rect{});

    // Strings are taken as they stand, an empty id and an unknown editor included.
    auto kept = Reference::fromDictionary(
        {{"id", ""}, {"title", ""}, {"editor", "Notepad"}, {"rect", "{{10, 20}, {140, 50}}"}});
    EXPECT_EQ(kept->id, "");
    EXPECT_EQ(kept->title, "");
    EXPECT_EQ(kept->editor, "Notepad");
    EXPECT_EQ(kept->rect, (Rect{10, 20, 140, 50}));

    // A label's id is never read.
    auto label = Label::fromDictionary({{"id", "kept?"}, {"title", "Hello"}});
    EXPECT_NE(label->id(), "kept?");
    EXPECT_EQ(label->title(), "Hello");
}

TEST(Records, WrittenFormsHoldExactlyTheirKeys) {
    StepsModel model;
    model.appendReference(Reference::fromDictionary(
        {{"id", "pathwick-A"}, {"title", "T"}, {"editor", "Atom"}, {"rect", "{{1, 2}, {3, 4}}"},
         {"extra", true}}));
    model.labels.push_back(Label::fromDictionary({{"title", "L"}, {"rect", "{{5, 6}, {7, 8.5}}"}}));
    const json written = json::parse(model.encode(nlohmann::ordered_json::object()).value());
    EXPECT_EQ(written["content"][0].dump(),
              R"({"arrows":[],"editor":"Atom","id":"pathwick-A","rect":"{{1, 2}, {3, 4}}","title":"T"})");
    EXPECT_EQ(written["labels"][0].dump(), R"({"rect":"{{5, 6}, {7, 8.5}}","title":"L"})");
}

TEST(Records, MarkerTextAndDisplayTitle) {
    EXPECT_EQ(referenceWith("Xcode", "a,b")->markerText(), "// pathwick-1");
    EXPECT_EQ(referenceWith("Safari", "Docs,https://x")->markerText(), "Format: <Title>,<URL>");

    EXPECT_EQ(referenceWith("Safari", "Docs,https://example.org/a,b")->displayTitle(), "Docs");
    EXPECT_EQ(referenceWith("Safari", "a,b,c")->displayTitle(), "a");
    EXPECT_EQ(referenceWith("Safari", ",x")->displayTitle(), "");
    EXPECT_EQ(referenceWith("Safari", "NoComma")->displayTitle(), "NoComma");
    EXPECT_EQ(referenceWith("VS Code", "a,b")->displayTitle(), "a,b");
    // The editor name is compared exactly.
    EXPECT_EQ(referenceWith("safari", "a,b")->displayTitle(), "a,b");
}

TEST(Records, FittedWidthsStepByForty) {
    EXPECT_EQ(fittedWidth(60), 100);
    EXPECT_EQ(fittedWidth(60.5), 140);
    EXPECT_EQ(fittedWidth(0), 100);
    EXPECT_EQ(fittedWidth(100), 140);
    EXPECT_EQ(fittedWidth(140.2), 220);
    EXPECT_EQ(fittedWidth(1e9 + 0.5), 1000000060);
}

TEST(Records, FittingKeepsTheHorizontalCentre) {
    FakeTextMeasurer measurer;
    auto reference = referenceWith("Xcode", std::string(20, 'x')); // 140 wide: needs 180
    reference->rect = {0, 10, 300, 50};
    reference->fitToTitle(measurer);
    EXPECT_EQ(reference->rect, (Rect{60, 10, 180, 50}));

    // Only the caption before the comma counts for a web reference.
    auto web = referenceWith("Safari", "Doc," + std::string(200, 'u'));
    web->rect = {0, 0, 300, 50};
    web->fitToTitle(measurer);
    EXPECT_EQ(web->rect, (Rect{100, 0, 100, 50}));
}

TEST(Records, LabelsMeasureAtTheLargerSize) {
    FakeTextMeasurer measurer;
    const std::string text = "Walkthrough";
    EXPECT_GT(measurer.measureText(text, labelTextAttributes()).width,
              measurer.measureText(text, referenceTextAttributes()).width);

    auto label = Label::fromDictionary({{"rect", "{{10, 20}, {100, 5}}"}});
    label->setTitle(text, measurer); // 11 characters at 24 points: 154 wide, 30 high
    EXPECT_EQ(label->title(), text);
    EXPECT_EQ(label->rect, (Rect{10, 20, 100, 30}));
    label->fitToTitle(measurer); // 154 + 40 needs 220
    EXPECT_EQ(label->rect, (Rect{-50, 20, 220, 30}));
}
