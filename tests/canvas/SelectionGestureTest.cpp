#include "canvas/CanvasFixture.h"

using namespace pathwicks;
using namespace pathwicks::testing;
using Ids = std::vector<std::string>;

namespace {

class SelectionTest : public CanvasTest {
protected:
    SelectionTest() {
        a = addReference("A", {100, 100, 100, 50});
        b = addReference("B", {300, 100, 100, 50});
        c = addReference("C", {500, 100, 100, 50});
    }
    ReferencePtr a, b, c;
};

} // namespace

TEST_F(SelectionTest, PlainPressesSelectOneReferenceAndClearOnEmptyCanvasOrLabels) {
    click(150, 120);
    EXPECT_EQ(selectedIds(), Ids{"A"});
    click(350, 120);
    EXPECT_EQ(selectedIds(), Ids{"B"});
    EXPECT_FALSE(canvas->gestureInProgress());

    // The topmost of two overlapping boxes is the one hit.
    auto top = addReference("Top", {350, 110, 100, 50});
    click(360, 120);
    EXPECT_EQ(selectedIds(), Ids{"Top"});

    addLabel("Note", {100, 400, 100, 30});
    click(120, 410);
    EXPECT_TRUE(selectedIds().empty());
    a->selected = true;
    click(900, 900);
    EXPECT_TRUE(selectedIds().empty());
    // Every release refreshes the panel and redraws.
    EXPECT_GE(host.panelUpdates, 4);
    EXPECT_GE(host.redisplays, 4);
}

TEST_F(SelectionTest, APressOnASelectedReferenceKeepsTheSelectionUntilReleasedWithoutDrag) {
    a->selected = b->selected = true;
    press(150, 120);
    EXPECT_EQ(selectedIds(), (Ids{"A", "B"}));
    release();
    EXPECT_EQ(selectedIds(), Ids{"A"});
    EXPECT_FALSE(host.undo.canUndo());
}

TEST_F(SelectionTest, ShiftTogglesOneReferenceAndADragAfterwardsDoesNothing) {
    a->selected = true;
    click(350, 120, shiftKey);
    EXPECT_EQ(selectedIds(), (Ids{"A", "B"}));
    press(150, 120, shiftKey);
    EXPECT_EQ(selectedIds(), Ids{"B"});
    drag(400, 400, shiftKey);
    drag(410, 420);
    release();
    EXPECT_EQ(selectedIds(), Ids{"B"});
    EXPECT_EQ(a->rect, (Rect{100, 100, 100, 50}));
    EXPECT_FALSE(host.undo.canUndo());
}

TEST_F(SelectionTest, TheRubberBandSelectsWhatItTouchesAndShiftMakesItToggle) {
    c->selected = true;
    press(120, 50);
    drag(320, 130);
    EXPECT_EQ(rubberBand(), (Rect{120, 50, 200, 80}));
    EXPECT_EQ(selectedIds(), (Ids{"A", "B"}));
    // Dragging back up and left of the press still spans the two points.
    drag(20, 20);
    EXPECT_EQ(rubberBand(), (Rect{20, 20, 100, 30}));
    EXPECT_TRUE(selectedIds().empty());
    release();
    EXPECT_FALSE(rubberBand());
    EXPECT_FALSE(host.undo.canUndo());

    // Shift-drag from empty canvas over A and B, with B selected before: only A ends selected,
    // and C outside the band keeps its selection. The band shows once dragged.
    b->selected = c->selected = true;
    press(120, 50, shiftKey);
    EXPECT_FALSE(rubberBand());
    drag(320, 130, shiftKey);
    EXPECT_EQ(rubberBand(), (Rect{120, 50, 200, 80}));
    release();
    EXPECT_EQ(selectedIds(), (Ids{"A", "C"}));

    // Neither a drag of boxes nor a shift press on one draws a band.
    press(150, 120);
    drag(400, 400);
    EXPECT_FALSE(rubberBand());
    release();
    press(350, 120, shiftKey);
    drag(400, 400);
    EXPECT_FALSE(rubberBand());
    release();
}

TEST_F(SelectionTest, DraggingSnapsTheDraggedBoxAndMovesTheOthersByTheSameAmount) {
    a->rect = {27, 103, 100, 50};
    b->rect = {301, 207, 100, 50};
    c->rect = {555, 5, 100, 50};
    a->selected = b->selected = c->selected = true;
    press(50, 120);
    drag(51, 120);
    // The first drag puts the dragged box on the grid.
    EXPECT_EQ(a->rect, (Rect{20, 100, 100, 50}));
    EXPECT_EQ(b->rect, (Rect{294, 204, 100, 50}));
    drag(85, 146);
    EXPECT_EQ(originOf(a->rect), (Point{60, 120}));
    EXPECT_EQ(originOf(b->rect), (Point{334, 224}));
    EXPECT_EQ(originOf(c->rect), (Point{588, 22}));
    EXPECT_GT(host.fits, 0);
    release();
    EXPECT_EQ(selectedIds(), (Ids{"A", "B", "C"}));

    // One undo puts all three back where the press found them, with nothing selected.
    const int panelBefore = host.panelUpdates;
    host.undo.undo();
    EXPECT_EQ(a->rect, (Rect{27, 103, 100, 50}));
    EXPECT_EQ(b->rect, (Rect{301, 207, 100, 50}));
    EXPECT_EQ(c->rect, (Rect{555, 5, 100, 50}));
    EXPECT_TRUE(selectedIds().empty());
    EXPECT_GT(host.panelUpdates, panelBefore);
    host.undo.redo();
    EXPECT_EQ(originOf(a->rect), (Point{60, 120}));
    EXPECT_EQ(originOf(c->rect), (Point{588, 22}));
    EXPECT_TRUE(selectedIds().empty());
}

TEST_F(SelectionTest, AMoveStaysWithItsBoxesWhenTheContentIsReorderedLater) {
    press(150, 120);
    drag(450, 320);
    release();
    const Rect moved = a->rect;
    // Something else reorders the content; the move's undo must still find box A.
    canvas->setContentAndArrows({c, b, a}, {});
    host.undo.undo();
    host.undo.undo();
    EXPECT_EQ(a->rect, (Rect{100, 100, 100, 50}));
    EXPECT_EQ(b->rect, (Rect{300, 100, 100, 50}));
    EXPECT_EQ(c->rect, (Rect{500, 100, 100, 50}));
    host.undo.redo();
    EXPECT_EQ(a->rect, moved);
}

TEST_F(SelectionTest, BoxesStopAtTheCanvasEdgesInsteadOfVanishingBeyondThem) {
    a->selected = b->selected = true;
    press(350, 120); // B, with A 200 points to its left
    drag(100, -300);
    EXPECT_EQ(originOf(a->rect), (Point{0, 0}));
    EXPECT_EQ(originOf(b->rect), (Point{200, 0}));
    release();
    // A label follows the pointer but stays on the canvas too.
    auto label = addLabel("Note", {300, 400, 100, 30});
    press(310, 410);
    drag(-50, 420);
    EXPECT_EQ(originOf(label->rect), (Point{0, 410}));
    release();
}

TEST_F(SelectionTest, ALabelPressRecordsAMoveEvenWithoutDragging) {
    auto label = addLabel("Note", {103, 407, 100, 30});
    a->selected = true;
    press(110, 410);
    EXPECT_TRUE(selectedIds().empty());
    release();
    ASSERT_TRUE(host.undo.canUndo());
    host.undo.undo();
    EXPECT_EQ(originOf(label->rect), (Point{103, 407}));

    // A drag is not snapped; undo and redo walk between the two places.
    press(110, 410);
    drag(200, 500);
    EXPECT_EQ(originOf(label->rect), (Point{193, 497}));
    release();
    host.undo.undo();
    EXPECT_EQ(originOf(label->rect), (Point{103, 407}));
    host.undo.redo();
    EXPECT_EQ(originOf(label->rect), (Point{193, 497}));
}

TEST_F(SelectionTest, ADoubleClickOpensTheReferenceOfItsFirstClick) {
    click(150, 120);
    press(700, 700, 0, 2); // the second click's position does not matter
    ASSERT_EQ(host.gotos.size(), 1u);
    EXPECT_EQ(host.gotos[0], a);
    EXPECT_FALSE(canvas->gestureInProgress());

    // First click on the add button: an earlier press's reference is opened.
    click(10, 10);
    press(10, 10, 0, 2);
    ASSERT_EQ(host.gotos.size(), 2u);
    EXPECT_EQ(host.gotos[1], a);

    // A box deleted since is not opened, even while the undo history keeps it alive.
    click(350, 120);
    canvas->setContentAndArrows({a, c}, {});
    press(350, 120, 0, 2);
    EXPECT_EQ(host.gotos.size(), 2u);
}

TEST_F(SelectionTest, ADoubleClickOnALabelOpensItsEditorWhichTheNextPressCloses) {
    auto label = addLabel("Note", {100, 400, 100, 30});
    click(900, 900);
    press(110, 410, 0, 2);
    EXPECT_TRUE(host.gotos.empty());
    EXPECT_EQ(host.editedLabel, label);
    EXPECT_EQ(host.closedLater, 0); // the double click does not close its own editor
    release();
    click(900, 900);
    EXPECT_EQ(host.closedLater, 1);

    // On empty canvas a double click does nothing.
    host.editedLabel = nullptr;
    press(900, 900, 0, 2);
    EXPECT_FALSE(host.editedLabel);
    EXPECT_TRUE(host.gotos.empty());
}

TEST_F(SelectionTest, APressWhileAGestureIsUnfinishedRecordsThatGestureFirst) {
    // The right button pressed in the middle of a left drag.
    press(150, 120);
    drag(450, 420);
    rightPress(350, 120);
    EXPECT_TRUE(host.undo.canUndo());
    ASSERT_TRUE(arrowInProgress());
    EXPECT_EQ(arrowInProgress()->from, b);
    rightRelease();
    release(); // the left release comes last and finds nothing to do
    host.undo.undo();
    EXPECT_EQ(a->rect, (Rect{100, 100, 100, 50}));

    // A release that never came at all.
    press(150, 120);
    drag(450, 420);
    click(900, 900);
    host.undo.undo();
    EXPECT_EQ(a->rect, (Rect{100, 100, 100, 50}));
}
