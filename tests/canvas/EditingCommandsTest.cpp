// Renaming boxes in place, stepping through items with Tab, connecting with Ctrl+L, what lies
// under a right click, Find's count, and resizing boxes by their handles.
#include "canvas/Find.h"
#include "canvas/KeyboardSelection.h"
#include "canvas/LabelEditor.h"
#include "canvas/PointerTarget.h"
#include "canvas/ResizeGesture.h"
#include "model/MarkerStates.h"

#include "canvas/CanvasFixture.h"

#include <gtest/gtest.h>

using namespace pathwicks;
using namespace pathwicks::testing;

namespace {

struct Field : LabelEditorField {
    void show(const Rect& f, const std::string& t, TextStyle s, bool select) override {
        shown = true, frame = f, text = t, style = s, selected = select;
    }
    void moveTo(const Rect& f) override { frame = f; }
    void remove() override { shown = false; }
    bool shown = false, selected = false;
    Rect frame;
    std::string text;
    TextStyle style = TextStyle::label;
};

class EditingTest : public CanvasTest {
protected:
    EditingTest() {
        // Read in the order B, A, label, C.
        a = addReference("A", {300, 100, 100, 50});
        b = addReference("B", {100, 100, 100, 50});
        c = addReference("C", {100, 400, 100, 50});
        a->title = "Parse";
        b->title = "Eval";
        c->title = "Walk";
        label = addLabel("Note", {100, 250, 80, 30});
    }
    std::string selection() const {
        std::string ids;
        for (const auto& r : canvas->model().content())
            if (r->selected)
                ids += r->id;
        return ids + (label->selected ? "L" : "");
    }
    ReferencePtr a, b, c;
    LabelPtr label;
};

} // namespace

TEST_F(EditingTest, RenamingABoxInPlaceCommitsOrCancelsAsOneUndoStep) {
    const struct {
        std::optional<std::string> typed; // a key that started the edit, or F2
        bool commit;
        std::string title;
    } cases[] = {
        {std::nullopt, true, "Parse the input"},
        {"P", true, "Parse the input"},
        {std::nullopt, false, "Parse"},
        {"x", false, "Parse"},
    };
    for (const auto& each : cases) {
        Field field;
        LabelEditor editor(*canvas, field);
        const Rect before = a->rect;
        editor.open(a, each.typed);
        EXPECT_EQ(field.style, TextStyle::reference);
        EXPECT_EQ(field.selected, !each.typed);
        EXPECT_EQ(field.text, each.typed.value_or("Parse"));
        editor.textChanged("Parse the input");
        EXPECT_EQ(field.frame, a->rect); // the box grows with the title, the field with it
        each.commit ? editor.commit() : editor.cancel();
        editor.finishClosing();
        EXPECT_FALSE(field.shown);
        EXPECT_EQ(a->title, each.title);
        EXPECT_EQ(host.undo.canUndo(), each.commit);
        if (each.commit) {
            host.undo.undo();
            EXPECT_EQ(a->title, "Parse");
            EXPECT_FALSE(host.undo.canUndo());
        } else {
            EXPECT_EQ(a->rect, before);
        }
    }
}

TEST_F(EditingTest, TabStepsThroughItemsInReadingOrderBothWaysAndWraps) {
    std::string forwards, backwards;
    for (int i = 0; i < 5; ++i) {
        selectNextItem(*canvas, false);
        forwards += selection() + " ";
    }
    for (int i = 0; i < 5; ++i) {
        selectNextItem(*canvas, true);
        backwards += selection() + " ";
    }
    EXPECT_EQ(forwards, "B A L C B ");
    EXPECT_EQ(backwards, "C L A B C ");
}

TEST_F(EditingTest, ControlLConnectsTheSelectedBoxesInReadingOrderAsOneStep) {
    canvas->addArrow(b, a); // already there: left alone
    host.undo.removeAllActions();
    a->selected = b->selected = c->selected = label->selected = true;
    host.undo.beginGroup();
    EXPECT_EQ(connectInReadingOrder(*canvas), 1u);
    host.undo.endGroup();
    EXPECT_EQ(canvas->model().arrows, (std::vector<Arrow>{{b, a}, {a, c}}));
    host.undo.undo();
    EXPECT_EQ(canvas->model().arrows, (std::vector<Arrow>{{b, a}}));
    EXPECT_FALSE(host.undo.canUndo());
}

TEST_F(EditingTest, ARightClickFindsWhatLiesUnderThePointer) {
    canvas->model().arrows = {{b, c}};
    const struct {
        Point at;
        bool severalSelected;
        ContextPlace place;
    } cases[] = {
        {{150, 120}, false, onBox},      {{140, 260}, false, onLabel},
        {{152, 300}, false, onArrow},    {{700, 700}, false, onCanvas},
        {{150, 120}, true, onSelection}, {{350, 120}, true, onBox}, // A is not selected
    };
    for (const auto& each : cases) {
        canvas->deselectAll();
        b->selected = label->selected = each.severalSelected;
        const PointerTarget target = targetAt(*canvas, each.at);
        EXPECT_EQ(target.place, each.place) << each.at.x << "," << each.at.y;
        selectTarget(*canvas, target);
        if (each.place == onBox) {
            EXPECT_EQ(selection(), target.reference->id); // alone
        }
    }
}

TEST_F(EditingTest, FindCountsTheMatchesAndSearchesMarkerPlacesOnceChecked) {
    MarkerStates states;
    states.places["C"] = {{"src/lexer.cpp", 12}};
    const struct {
        std::string text;
        const MarkerStates* states;
        size_t position, count;
    } cases[] = {
        {"r", nullptr, 1, 1}, // Parse
        {"E", nullptr, 1, 3}, // Eval, Parse, Note
        {"lexer", nullptr, 0, 0},
        {"LEXER", &states, 1, 1},
    };
    for (const auto& each : cases) {
        const FindStep step = findStep(canvas->model(), each.text, std::nullopt, false, each.states);
        EXPECT_EQ(step.position, each.position) << each.text;
        EXPECT_EQ(step.count, each.count) << each.text;
        EXPECT_EQ(step.item.has_value(), each.count > 0);
    }
    const FindStep first = findStep(canvas->model(), "e", std::nullopt, false);
    EXPECT_EQ(findStep(canvas->model(), "e", first.item, true).position, 3u); // wraps back
}

TEST_F(EditingTest, HandlesResizeOneOrEverySelectedBoxSnappedAndNoSmallerThanTheTitle) {
    b->selected = true;
    EXPECT_EQ(canvas->interactionOverlay().resizeHandles.size(), 8u);
    // The bottom right corner of B, dragged out: snapped to the grid.
    press(200, 150);
    drag(263, 187);
    release();
    EXPECT_EQ(b->rect, (Rect{100, 100, 160, 80}));
    host.undo.undo();
    EXPECT_EQ(b->rect, (Rect{100, 100, 100, 50}));

    // With A selected too, dragging B's left edge resizes both; each stops at the width of
    // its title (5 points a letter here) and a margin, its right edge where it was.
    a->selected = b->selected = true;
    EXPECT_EQ(resizing::leastSize(*a, host.measurer).width, 37);
    press(100, 125);
    drag(170, 125);
    release();
    EXPECT_EQ(b->rect, (Rect{168, 100, 32, 50})); // "Eval"
    EXPECT_EQ(a->rect, (Rect{363, 100, 37, 50}));
    host.undo.undo();
    EXPECT_EQ(a->rect, (Rect{300, 100, 100, 50}));
    EXPECT_EQ(b->rect, (Rect{100, 100, 100, 50}));
    EXPECT_FALSE(host.undo.canUndo());
}
