#include "canvas/AddGesture.h"
#include "canvas/CanvasFixture.h"

using namespace pathwicks;
using namespace pathwicks::testing;
using Ids = std::vector<std::string>;

namespace {

class AddTest : public CanvasTest {
protected:
    AddTest() {
        a = addReference("A", {100, 100, 100, 50});
        a->selected = true;
    }
    ReferencePtr a;
};

} // namespace

TEST_F(AddTest, APressOnTheAddButtonWithoutDragMakesNothing) {
    // Neither a press on empty canvas, which would deselect and draw a band, nor anything else.
    for (unsigned modifiers : {0u, unsigned(optionKey)}) {
        press(10, 10, modifiers);
        EXPECT_EQ(selectedIds(), Ids{"A"});
        EXPECT_FALSE(rubberBand());
        release();
    }
    EXPECT_EQ(selectedIds(), Ids{"A"});
    EXPECT_EQ(canvas->model().content().size(), 1u);
    EXPECT_TRUE(canvas->model().labels.empty());
    EXPECT_FALSE(host.undo.canUndo());
}

TEST_F(AddTest, ADragOutOfTheAddButtonMakesAReferenceThatFollowsThePointer) {
    press(10, 10);
    drag(237, 318);
    ASSERT_EQ(canvas->model().content().size(), 2u);
    auto added = canvas->model().content().back();
    // Centred on the pointer, then onto the grid.
    EXPECT_EQ(added->rect, (Rect{180, 290, 100, 50}));
    EXPECT_EQ(added->title, "Unnamed");
    EXPECT_EQ(added->editor, "Xcode");
    EXPECT_EQ(added->id.rfind("pathwick-", 0), 0u);
    EXPECT_EQ(selectedIds(), Ids{added->id});
    drag(305, 207);
    EXPECT_EQ(originOf(added->rect), (Point{300, 200}));
    release();
    EXPECT_EQ(selectedIds(), Ids{added->id});

    host.undo.undo();
    EXPECT_EQ(canvas->model().content().size(), 1u);
    EXPECT_TRUE(selectedIds().empty());
    host.undo.redo();
    ASSERT_EQ(canvas->model().content().size(), 2u);
    EXPECT_EQ(canvas->model().content().back(), added);
    EXPECT_EQ(added->rect, (Rect{300, 200, 100, 50}));
}

TEST_F(AddTest, ANewReferenceNeverStartsLeftOfOrAboveTheCanvas) {
    press(10, 10);
    drag(12, 12);
    EXPECT_EQ(originOf(canvas->model().content().back()->rect), (Point{0, 0}));
    release();
}

// A web link is never remembered as what new boxes are: it would make every later one a link.
TEST_F(AddTest, ANewReferenceTakesTheEditorLastChosenWhenThatIsAName) {
    const std::vector<std::pair<std::optional<std::string>, std::string>> cases = {
        {"Atom", "Atom"}, {std::nullopt, "Xcode"}, {"", "Xcode"}, {"Safari", "Xcode"}};
    for (const auto& [stored, expected] : cases) {
        host.defaults.values["lastSetEditor"] = stored;
        press(10, 10);
        drag(300, 300);
        release();
        EXPECT_EQ(canvas->model().content().back()->editor, expected);
    }
    host.defaults.values.clear();
    press(10, 10);
    drag(300, 300);
    EXPECT_EQ(canvas->model().content().back()->editor, "Xcode");
    release();
}

TEST_F(AddTest, AnOptionDragMakesALabelAsWideAsItsTextPlusTwenty) {
    auto old = addLabel("Old", {0, 600, 50, 30});
    press(10, 10, optionKey);
    drag(400, 300);
    ASSERT_EQ(canvas->model().labels.size(), 2u);
    auto label = canvas->model().labels.back();
    EXPECT_EQ(label->title(), "New Label");
    // "New Label" measures 90 by 30.
    EXPECT_EQ(label->rect, (Rect{340, 280, 110, 30}));
    EXPECT_TRUE(selectedIds().empty());
    drag(402, 303);
    EXPECT_EQ(originOf(label->rect), (Point{402, 303}));
    release();

    host.undo.undo();
    EXPECT_EQ(canvas->model().labels, std::vector<LabelPtr>{old});
    host.undo.redo();
    EXPECT_EQ(canvas->model().labels, (std::vector<LabelPtr>{old, label}));
}

TEST_F(AddTest, AddingWorksWithoutAnUndoHistory) {
    host.withUndo = false;
    press(10, 10);
    drag(300, 300);
    release();
    press(10, 10, optionKey);
    drag(300, 300);
    release();
    EXPECT_EQ(canvas->model().content().size(), 2u);
    EXPECT_EQ(canvas->model().labels.size(), 1u);
}

TEST_F(AddTest, InsertingFromTheMenuIsOneStepAndSelectsTheNewReference) {
    adding::insertReference(*canvas, {400, 300});
    ASSERT_EQ(canvas->model().content().size(), 2u);
    auto added = canvas->model().content().back();
    EXPECT_EQ(added->rect, (Rect{350, 270, 100, 50}));
    EXPECT_EQ(selectedIds(), Ids{added->id});
    EXPECT_FALSE(canvas->gestureInProgress());

    adding::insertLabel(*canvas, {400, 500});
    ASSERT_EQ(canvas->model().labels.size(), 1u);
    EXPECT_EQ(host.editedLabel, canvas->model().labels.back());

    host.undo.undo();
    EXPECT_TRUE(canvas->model().labels.empty());
    host.undo.undo();
    EXPECT_EQ(canvas->model().content().size(), 1u);
    EXPECT_FALSE(host.undo.canUndo());
}

TEST_F(AddTest, ANewReferenceCountsAsPressed) {
    // A double click opens it, and an arrow press elsewhere deselects it, as a pressed one.
    a->selected = false;
    press(10, 10);
    drag(300, 300);
    release();
    auto dragged = canvas->model().content().back();
    press(900, 900, 0, 2);
    ASSERT_EQ(host.gotos.size(), 1u);
    EXPECT_EQ(host.gotos[0], dragged);
    rightPress(150, 120);
    rightRelease();
    EXPECT_EQ(selectedIds(), Ids{"A"});

    adding::insertReference(*canvas, {400, 500});
    auto inserted = canvas->model().content().back();
    press(900, 900, 0, 2);
    ASSERT_EQ(host.gotos.size(), 2u);
    EXPECT_EQ(host.gotos[1], inserted);
    rightPress(150, 120);
    rightRelease();
    EXPECT_EQ(selectedIds(), Ids{"A"});
}

TEST_F(AddTest, InsertingDuringADragFinishesTheDragFirst) {
    press(10, 10);
    drag(300, 300);
    adding::insertReference(*canvas, {600, 600});
    EXPECT_EQ(canvas->model().content().size(), 3u);
    drag(500, 500); // the button is still held, but that gesture is over
    release();
    EXPECT_EQ(originOf(canvas->model().content()[1]->rect), (Point{250, 270}));
    host.undo.undo();
    host.undo.undo();
    EXPECT_EQ(canvas->model().content().size(), 1u);
}
