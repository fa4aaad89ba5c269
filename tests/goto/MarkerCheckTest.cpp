#include "goto/MarkerCheck.h"

#include "goto/TempTree.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pathwicks;

namespace {

using Locations = std::vector<MarkerLocation>;

ReferencePtr box(const std::string& id, const char* editor = "VS Code") {
    auto reference = std::make_shared<Reference>();
    reference->id = id;
    reference->editor = editor;
    return reference;
}

MarkerStates check(const TempTree& tree, const StepsModel& model) {
    auto outcome = checkMarkers(tree.path(), checkedIds(model));
    if (auto* error = std::get_if<std::string>(&outcome))
        ADD_FAILURE() << *error;
    EXPECT_TRUE(std::holds_alternative<MarkerStates>(outcome));
    return std::holds_alternative<MarkerStates>(outcome) ? std::get<MarkerStates>(outcome)
                                                         : MarkerStates{};
}

} // namespace

TEST(MarkerCheck, StatesFollowTheTreeFromOneCheckToTheNext) {
    TempTree tree;
    tree.write("src/a.c", "int a;\n// pathwick-FOUND Found\n");
    tree.write("src/b.c", "// pathwick-TWICE Twice\n");
    tree.write("lib/c.c", "\n\n// pathwick-TWICE Twice\n");
    tree.write("lib/d.c", "// pathwick-GONE Gone\n");
    StepsModel model;
    model.setContent({box("pathwick-FOUND"), box("pathwick-TWICE"), box("pathwick-MISSING"),
                      box("pathwick-GONE"), box("pathwick-FOUND"), box("Docs,https://x.org",
                                                                        webLinkEditorName)});
    EXPECT_EQ(checkedIds(model).size(), 5u);

    MarkerStates states = check(tree, model);
    EXPECT_EQ(states.folder, tree.path());
    const auto& c = model.content();
    EXPECT_EQ(*states.placesOf(*c[0]), (Locations{{"src/a.c", 2}}));
    EXPECT_EQ(*states.placesOf(*c[1]), (Locations{{"lib/c.c", 3}, {"src/b.c", 1}}));
    EXPECT_EQ(states.stateOf(*c[1]), MarkerState::duplicated);
    EXPECT_EQ(states.stateOf(*c[2]), MarkerState::missing);
    EXPECT_EQ(states.stateOf(*c[3]), MarkerState::found);
    // Two boxes with one id share its places; a web link has none.
    EXPECT_EQ(states.stateOf(*c[4]), MarkerState::found);
    EXPECT_EQ(states.placesOf(*c[5]), nullptr);

    // The marker moves to another file and line, a file is deleted, a duplicate goes away.
    tree.write("src/a.c", "int a;\n");
    tree.write("moved/a.c", "\n\n\n// pathwick-FOUND Found\n");
    std::filesystem::remove(tree.path("lib/d.c"));
    std::filesystem::remove(tree.path("lib/c.c"));
    states = check(tree, model);
    EXPECT_EQ(*states.placesOf(*c[0]), (Locations{{"moved/a.c", 4}}));
    EXPECT_EQ(*states.placesOf(*c[1]), (Locations{{"src/b.c", 1}}));
    EXPECT_EQ(states.stateOf(*c[3]), MarkerState::missing);
}

TEST(MarkerCheck, ACancelledCheckSaysSoAndAnUnreadableFolderGivesAMessage) {
    TempTree tree;
    for (int i = 0; i < 50; ++i)
        tree.write("f" + std::to_string(i) + "/x.c", "// pathwick-A A\n");
    const std::atomic<bool> cancelled{true};
    EXPECT_TRUE(std::holds_alternative<MarkerCheckCancelled>(
        checkMarkers(tree.path(), {"pathwick-A"}, &cancelled)));
    const std::atomic<bool> running{false};
    const auto outcome = checkMarkers(tree.path(), {"pathwick-A"}, &running);
    ASSERT_TRUE(std::holds_alternative<MarkerStates>(outcome));
    EXPECT_EQ(std::get<MarkerStates>(outcome).places.at("pathwick-A").size(), 50u);

    const auto missing = checkMarkers(tree.path("nowhere"), {"pathwick-A"});
    ASSERT_TRUE(std::holds_alternative<std::string>(missing));
    EXPECT_NE(std::get<std::string>(missing).find("nowhere"), std::string::npos);
}
