#include "model/StepsModel.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace pathwicks;
using nlohmann::json;

namespace {

json reference(const std::string& id, json arrows = json::array()) {
    return {{"id", id}, {"title", id}, {"rect", "{{0, 0}, {100, 50}}"}, {"arrows", arrows}};
}

json saved(StepsModel& model) {
    auto text = model.encode(nlohmann::ordered_json::object());
    EXPECT_TRUE(text.has_value());
    return text ? json::parse(*text) : json();
}

std::vector<std::pair<std::string, std::string>> arrowIds(const StepsModel& model) {
    std::vector<std::pair<std::string, std::string>> ids;
    for (const auto& [from, to] : model.arrows)
        ids.emplace_back(from->id, to->id);
    return ids;
}

using Ids = std::vector<std::pair<std::string, std::string>>;

} // namespace

TEST(StepsModel, ArrowsAreSavedAsPositionsGroupedBySource) {
    StepsModel model;
    for (const char* id : {"A", "B", "C"})
        model.appendReference(Reference::fromDictionary(reference(id)));
    const auto& c = model.content();
    model.arrows = {{c[1], c[0]}, {c[0], c[1]}, {c[1], c[2]}};

    const json document = saved(model);
    EXPECT_EQ(document["content"][0]["arrows"], json::array({1}));
    EXPECT_EQ(document["content"][1]["arrows"], json::array({0, 2}));
    EXPECT_EQ(document["content"][2]["arrows"], json::array());
    EXPECT_EQ(c[2]->index, 2);

    StepsModel loaded;
    loaded.decode(&document);
    EXPECT_EQ(arrowIds(loaded), (Ids{{"A", "B"}, {"B", "A"}, {"B", "C"}}));
    // The ends are the loaded boxes themselves.
    EXPECT_EQ(loaded.arrows[0].first, loaded.content()[0]);
}

TEST(StepsModel, ArrowsMayPointForward) {
    const json document = {{"content", {reference("A", {2, 0}), reference("B"), reference("C")}}};
    StepsModel model;
    model.decode(&document);
    EXPECT_EQ(arrowIds(model), (Ids{{"A", "C"}, {"A", "A"}}));
}

TEST(StepsModel, ABoxIsItselfEvenWhenIdsRepeat) {
    // Two boxes with one id keep their own arrows through any number of saves.
    const json document = {
        {"content", {reference("same", {2}), reference("same"), reference("C", {0, 1})}}};
    json current = document;
    for (int round = 0; round < 3; ++round) {
        StepsModel model;
        model.decode(&current);
        EXPECT_EQ(model.arrows.size(), 3u);
        current = saved(model);
    }
    EXPECT_EQ(current["content"][0]["arrows"], json::array({2}));
    EXPECT_EQ(current["content"][1]["arrows"], json::array());
    EXPECT_EQ(current["content"][2]["arrows"], json::array({0, 1}));
}

TEST(StepsModel, AnElementThatIsNoObjectIsSkippedAlone) {
    const json document = {
        {"content", {reference("A", {1, 2}), 42, reference("C", {0, 1})}},
        {"labels", {{{"title", "L1"}}, "oops", {{"title", "L2"}}}},
    };
    StepsModel model;
    model.decode(&document);
    ASSERT_EQ(model.content().size(), 2u);
    EXPECT_EQ(model.content()[1]->id, "C");
    // Positions still count the skipped element: position 1 names nothing.
    EXPECT_EQ(arrowIds(model), (Ids{{"A", "C"}, {"C", "A"}}));
    ASSERT_EQ(model.labels.size(), 2u);
    EXPECT_EQ(model.labels[1]->title(), "L2");
}

TEST(StepsModel, PositionsThatNameNoElementAreSkipped) {
    const json document = {{"content",
                            {reference("A", {-1, 1, 2, 18446744073709551615ull, 1}),
                             reference("B", {0})}}};
    StepsModel model;
    model.decode(&document);
    EXPECT_EQ(arrowIds(model), (Ids{{"A", "B"}, {"A", "B"}, {"B", "A"}}));
}

TEST(StepsModel, ArrowListsThatAreNotAllIntegersGiveNoArrows) {
    const json document = {{"content",
                            {reference("A", {1, "1"}), reference("B", {0.5}),
                             reference("C", {0}), reference("D", "0")}}};
    StepsModel model;
    model.decode(&document);
    EXPECT_EQ(arrowIds(model), (Ids{{"C", "A"}}));
}

TEST(StepsModel, MissingOrIllTypedListsLeaveTheModelEmpty) {
    for (const json& document : {json::object(), json{{"content", "x"}, {"labels", 3}},
                                 json{{"content", nullptr}}}) {
        int redraws = 0;
        StepsModel model;
        model.redraw.add([&] { ++redraws; });
        model.decode(&document);
        EXPECT_TRUE(model.content().empty());
        EXPECT_TRUE(model.labels.empty());
        EXPECT_EQ(redraws, 0);
    }
    StepsModel model;
    model.decode(nullptr);
    EXPECT_TRUE(model.content().empty());
}

TEST(StepsModel, EveryChangeOfTheContentAsksForARedraw) {
    int redraws = 0;
    StepsModel model;
    model.redraw.add([&] { ++redraws; });
    const json document = {{"content", {reference("A"), reference("B"), reference("C")}},
                           {"labels", {{{"title", "L"}}}}};
    model.decode(&document);
    EXPECT_EQ(redraws, 3);

    model.removeReferenceAt(0);
    model.insertReference(0, Reference::fromDictionary(reference("D")));
    model.setContent({});
    EXPECT_EQ(redraws, 6);
    model.removeReferenceAt(5); // nothing there: nothing changed
    model.labels.clear();
    model.arrows.clear();
    EXPECT_EQ(redraws, 6);
}

TEST(StepsModel, EncodeWritesContentAndLabelsInOrderAfterOtherEntries) {
    StepsModel model;
    auto text = model.encode(nlohmann::ordered_json{{"window", "{{0, 0}, {0, 0}}"}});
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "{\n  \"window\": \"{{0, 0}, {0, 0}}\",\n  \"content\": [],\n  \"labels\": []\n}");

    const json document = {{"content", {reference("A"), reference("B")}},
                           {"labels", {{{"title", "first"}}, {{"title", "second"}}}}};
    model.decode(&document);
    const json again = saved(model);
    EXPECT_EQ(again["content"][1]["id"], "B");
    EXPECT_EQ(again["labels"][1]["title"], "second");
}

TEST(StepsModel, AnUnwritableTitleMakesEncodeFail) {
    StepsModel model;
    model.appendReference(Reference::fromDictionary(reference("A")));
    model.content()[0]->title = "\xff\xfe not UTF-8";
    EXPECT_FALSE(model.encode(nlohmann::ordered_json::object()).has_value());
}

// The text is what nlohmann/json's dump(2) writes for the top level with "content" and
// "labels" set, wherever they stand and whatever else it holds.
TEST(StepsModel, EncodeWritesWhatDumpingTheWholeDocumentWrites) {
    using ordered = nlohmann::ordered_json;
    const ordered content = ordered::parse(R"([
        {"id": "A", "title": "A", "editor": "Xcode", "rect": "{{0, 0}, {100, 50}}", "arrows": [1, 0]},
        {"id": "B", "title": "B\n\t\"q\" \u0001 é", "editor": "Atom", "rect": "{{-1.5, 2}, {3, 4}}",
         "arrows": []}])");
    const ordered labels = ordered::parse(R"([{"title": "L", "rect": "{{1, 2}, {3, 4}}"}])");
    StepsModel model;
    const json document = {{"content", content}, {"labels", labels}};
    model.decode(&document);

    for (const ordered& topLevel :
         {ordered::object(), ordered(), ordered{{"window", "{{0, 0}, {9, 9}}"}},
          ordered::parse(R"({"labels": 0, "window": "w", "content": null})"),
          ordered::parse(R"({"extra": {"a": [1, {}, []], "b": "x\ny"}, "n": 1.5, "t": true,
                             "z": null, "list": [[2], {"k": {}}]})")}) {
        ordered expected = topLevel;
        expected["content"] = content;
        expected["labels"] = labels;
        EXPECT_EQ(model.encode(topLevel), expected.dump(2)) << topLevel.dump();
    }
    EXPECT_FALSE(model.encode({{"extra", {"\xff"}}}).has_value());
}
