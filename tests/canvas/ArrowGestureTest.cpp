#include "canvas/CanvasFixture.h"

using namespace pathwicks;
using namespace pathwicks::testing;
using Ids = std::vector<std::string>;

namespace {

class ArrowTest : public CanvasTest {
protected:
    ArrowTest() {
        a = addReference("A", {100, 100, 100, 50});
        b = addReference("B", {300, 100, 100, 50});
        c = addReference("C", {500, 100, 100, 50});
    }
    // Right button, or left with control: from one point to another.
    void arrowGesture(Point from, Point to, bool rightButton = true) {
        if (rightButton) {
            rightPress(from.x, from.y);
            rightDrag(to.x, to.y);
            rightRelease();
        } else {
            press(from.x, from.y, controlKey);
            drag(to.x, to.y, controlKey);
            release();
        }
    }
    std::vector<std::pair<std::string, std::string>> arrowIds() const {
        std::vector<std::pair<std::string, std::string>> ids;
        for (const auto& [from, to] : canvas->model().arrows)
            ids.emplace_back(from->id, to->id);
        return ids;
    }
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    ReferencePtr a, b, c;
};

} // namespace

TEST_F(ArrowTest, DraggingFromOneReferenceToAnotherTogglesTheArrowInThatDirection) {
    for (bool rightButton : {true, false}) {
        SCOPED_TRACE(rightButton ? "right button" : "control");
        canvas->model().arrows.clear();
        arrowGesture({150, 120}, {350, 120}, rightButton);
        EXPECT_EQ(arrowIds(), (Pairs{{"A", "B"}}));
        arrowGesture({350, 120}, {150, 120}, rightButton);
        EXPECT_EQ(arrowIds(), (Pairs{{"A", "B"}, {"B", "A"}}));
        arrowGesture({150, 120}, {350, 120}, rightButton);
        EXPECT_EQ(arrowIds(), (Pairs{{"B", "A"}}));
        // Released over the start itself or over empty canvas: nothing changes.
        arrowGesture({150, 120}, {160, 130}, rightButton);
        arrowGesture({150, 120}, {900, 900}, rightButton);
        EXPECT_EQ(arrowIds(), (Pairs{{"B", "A"}}));
        EXPECT_FALSE(canvas->gestureInProgress());
        EXPECT_FALSE(arrowInProgress());
    }
}

TEST_F(ArrowTest, TheArrowPressSelectsItsReferenceInsteadOfThePreviousPressOnly) {
    click(550, 120);    // C is pressed and selected
    b->selected = true; // B selected some other way
    rightPress(150, 120);
    EXPECT_EQ(selectedIds(), (Ids{"A", "B"}));
    // The arrow is drawn from the press to the pointer, then to the target under it.
    ASSERT_TRUE(arrowInProgress());
    EXPECT_EQ(arrowInProgress()->from, a);
    EXPECT_FALSE(arrowInProgress()->target);
    EXPECT_EQ(arrowInProgress()->pointer, (Point{150, 120}));
    rightDrag(250, 300);
    EXPECT_FALSE(arrowInProgress()->target);
    EXPECT_EQ(arrowInProgress()->pointer, (Point{250, 300}));
    rightDrag(560, 130);
    EXPECT_EQ(arrowInProgress()->target, c);
    rightRelease();
    EXPECT_EQ(arrowIds(), (Pairs{{"A", "C"}}));
    EXPECT_EQ(selectedIds(), (Ids{"A", "B"}));
}

TEST_F(ArrowTest, LettingGoOfControlFreezesTheTarget) {
    press(150, 120, controlKey);
    drag(350, 120, controlKey);
    drag(550, 120); // control let go: the target stays B
    ASSERT_TRUE(arrowInProgress());
    EXPECT_EQ(arrowInProgress()->target, b);
    release();
    EXPECT_EQ(arrowIds(), (Pairs{{"A", "B"}}));
}

TEST_F(ArrowTest, ArrowTogglesAreUndoneAndRedone) {
    arrowGesture({150, 120}, {350, 120});
    canvas->model().arrows.emplace_back(b, c);
    a->selected = true;
    host.undo.undo();
    EXPECT_EQ(arrowIds(), (Pairs{{"B", "C"}}));
    EXPECT_TRUE(selectedIds().empty());
    host.undo.redo();
    // A redone arrow comes back once, at the end of the list.
    EXPECT_EQ(arrowIds(), (Pairs{{"B", "C"}, {"A", "B"}}));

    // Removing an arrow the document holds twice removes both; undo brings one back.
    canvas->model().arrows = {{b, c}, {a, b}, {b, c}};
    arrowGesture({350, 120}, {550, 120});
    EXPECT_EQ(arrowIds(), (Pairs{{"A", "B"}}));
    host.undo.undo();
    EXPECT_EQ(arrowIds(), (Pairs{{"A", "B"}, {"B", "C"}}));
}

TEST_F(ArrowTest, ArrowsJoinBoxesNotIds) {
    // Two boxes that share an id (a copied document) are still two boxes.
    auto twin = addReference("A", {100, 300, 100, 50});
    arrowGesture({150, 120}, {150, 320});
    EXPECT_EQ(canvas->model().arrows.size(), 1u);
    EXPECT_EQ(canvas->model().arrows[0].second, twin);
    arrowGesture({150, 320}, {150, 120});
    EXPECT_EQ(canvas->model().arrows.size(), 2u);
}

TEST_F(ArrowTest, NoArrowIsMadeToABoxRemovedDuringTheGesture) {
    rightPress(150, 120);
    rightDrag(350, 120);
    canvas->setContentAndArrows({a, c}, {}); // B deleted while the button is held
    rightRelease();
    EXPECT_TRUE(canvas->model().arrows.empty());
}

TEST_F(ArrowTest, DraggingOnEmptyCanvasPansTheView) {
    rightPress(900, 900);
    EXPECT_FALSE(arrowInProgress());
    rightDrag(915, 905, {15, 5});
    ASSERT_EQ(host.pans.size(), 1u);
    EXPECT_EQ(host.pans[0], (Point{15, 5}));
    rightRelease();

    // The same with control and the left button; without control the drag does nothing.
    press(900, 900, controlKey);
    auto event = at(910, 910, controlKey);
    event.delta = {-3, 7};
    canvas->mouseDragged(event);
    event.modifiers = 0;
    canvas->mouseDragged(event);
    release();
    ASSERT_EQ(host.pans.size(), 2u);
    EXPECT_EQ(host.pans[1], (Point{-3, 7}));
    // A drag from a reference never pans.
    rightPress(150, 120);
    rightDrag(170, 140, {20, 20});
    EXPECT_EQ(host.pans.size(), 2u);
}
