#include "canvas/CanvasFixture.h"

using namespace pathwicks;
using namespace pathwicks::testing;
using Ids = std::vector<std::string>;

namespace {

class EditsTest : public CanvasTest {
protected:
    EditsTest() {
        a = addReference("A", {100, 100, 100, 50});
        b = addReference("B", {300, 100, 100, 50});
        c = addReference("C", {500, 100, 100, 50});
        d = addReference("D", {700, 100, 100, 50});
        canvas->model().arrows = {{a, c}, {c, d}, {d, b}};
    }
    Ids contentIds() const {
        Ids ids;
        for (const auto& r : canvas->model().content())
            ids.push_back(r->id);
        return ids;
    }
    ReferencePtr a, b, c, d;
};

} // namespace

TEST_F(EditsTest, UndoingADeletionBringsBackTheSameBoxesAndArrowsInTheirOrder) {
    a->selected = b->selected = true;
    deleteSelection();
    EXPECT_EQ(contentIds(), (Ids{"C", "D"}));
    ASSERT_EQ(canvas->model().arrows.size(), 1u);
    std::weak_ptr<Reference> weakA = a;
    a.reset();
    EXPECT_FALSE(weakA.expired()); // the undo step keeps it

    host.undo.undo();
    EXPECT_EQ(contentIds(), (Ids{"A", "B", "C", "D"}));
    EXPECT_EQ(canvas->model().content()[0], weakA.lock());
    EXPECT_EQ(canvas->model().arrows, (std::vector<Arrow>{{weakA.lock(), c}, {c, d}, {d, b}}));
    EXPECT_TRUE(selectedIds().empty());
    host.undo.redo();
    EXPECT_EQ(contentIds(), (Ids{"C", "D"}));
}

TEST_F(EditsTest, WithoutAnUndoHistoryEditsStillTakePlace) {
    host.withUndo = false;
    canvas->addArrow(a, b);
    canvas->moveLabel(addLabel("L", {0, 0, 10, 10}), {50, 60});
    deleteSelection();
    EXPECT_EQ(canvas->model().arrows.size(), 4u);
    EXPECT_EQ(canvas->model().labels[0]->rect.x, 50);
}

TEST_F(EditsTest, ACanvasOnTheStackHasUndoAndItsStepsEndWithIt) {
    StepsModel document;
    document.setContent({a, b});
    {
        Canvas onStack(document);
        onStack.setHost(&host);
        onStack.addArrow(a, b);
        host.undo.undo();
        EXPECT_TRUE(document.arrows.empty());
        host.undo.redo();
        EXPECT_EQ(document.arrows, (std::vector<Arrow>{{a, b}}));
    }
    // Once the canvas is gone, its steps change nothing and leave nothing to redo.
    ASSERT_TRUE(host.undo.canUndo());
    host.undo.undo();
    EXPECT_EQ(document.arrows, (std::vector<Arrow>{{a, b}}));
    EXPECT_FALSE(host.undo.canRedo());
}

TEST_F(EditsTest, EachEditCanBeUndoneAndRedoneAgainAndAgain) {
    auto label = addLabel("L", {10, 10, 50, 30});
    canvas->moveLabel(label, {200, 300});
    auto added = std::make_shared<Label>();
    canvas->setLabelPresence(added, true);
    canvas->removeArrow(c, d);
    for (int round = 0; round < 3; ++round) {
        while (host.undo.canUndo())
            host.undo.undo();
        EXPECT_EQ(originOf(label->rect), (Point{10, 10}));
        EXPECT_EQ(canvas->model().labels, std::vector<LabelPtr>{label});
        EXPECT_EQ(canvas->model().arrows.size(), 3u);
        while (host.undo.canRedo())
            host.undo.redo();
        EXPECT_EQ(originOf(label->rect), (Point{200, 300}));
        EXPECT_EQ(canvas->model().labels, (std::vector<LabelPtr>{label, added}));
        EXPECT_EQ(canvas->model().arrows, (std::vector<Arrow>{{a, c}, {d, b}}));
    }
}

TEST_F(EditsTest, UndoFinishesTheGestureAndClosesTheLabelEditorFirst) {
    // A drag in progress is recorded, then taken back by the very undo that interrupted it.
    press(150, 120);
    drag(450, 420);
    host.editorOpen = true;
    host.undo.undo();
    EXPECT_EQ(host.closedNow, 1);
    EXPECT_FALSE(host.editorOpen);
    EXPECT_FALSE(canvas->gestureInProgress());
    EXPECT_EQ(a->rect, (Rect{100, 100, 100, 50}));
    drag(600, 600); // the button is still down, but its gesture is over
    release();
    EXPECT_EQ(a->rect, (Rect{100, 100, 100, 50}));
    host.undo.redo();
    EXPECT_EQ(originOf(a->rect), (Point{400, 400}));
}
