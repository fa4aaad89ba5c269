// The commands on selected items: labels among them, nudging, the clipboard, arranging and
// finding, and where inserted items land.
#include "canvas/AddGesture.h"
#include "canvas/Arrange.h"
#include "canvas/CanvasFixture.h"
#include "canvas/Clipboard.h"
#include "canvas/Find.h"

using namespace pathwicks;
using namespace pathwicks::testing;
using Ids = std::vector<std::string>;

namespace {

class ItemsTest : public CanvasTest {
protected:
    ItemsTest() {
        a = addReference("A", {100, 100, 100, 50});
        b = addReference("B", {300, 100, 100, 50});
        c = addReference("C", {500, 100, 100, 50});
        note = addLabel("Note", {100, 400, 100, 30});
    }
    std::vector<std::string> labelTitles() const {
        std::vector<std::string> titles;
        for (const auto& l : canvas->model().labels)
            titles.push_back(l->title());
        return titles;
    }
    ReferencePtr a, b, c;
    LabelPtr note;
};

} // namespace

TEST_F(ItemsTest, LabelsAreSelectedDeletedAndMovedWithTheBoxes) {
    // A click selects a label alone; shift toggles it into a selection.
    click(150, 120);
    click(120, 410);
    EXPECT_TRUE(note->selected);
    EXPECT_TRUE(selectedIds().empty());
    click(150, 120, shiftKey);
    EXPECT_TRUE(note->selected);
    EXPECT_EQ(selectedIds(), Ids{"A"});

    // Dragging a box of the selection takes the label along, as one undo step.
    press(150, 120);
    drag(250, 220);
    release();
    EXPECT_EQ(originOf(a->rect), (Point{200, 200}));
    EXPECT_EQ(originOf(note->rect), (Point{200, 500}));
    // And dragging the label takes the box, the box still on the grid.
    press(210, 510);
    drag(237, 537);
    release();
    EXPECT_EQ(originOf(note->rect), (Point{220, 520}));
    EXPECT_EQ(originOf(a->rect), (Point{220, 220}));
    host.undo.undo();
    host.undo.undo();
    EXPECT_EQ(originOf(a->rect), (Point{100, 100}));
    EXPECT_EQ(originOf(note->rect), (Point{100, 400}));

    // A rubber band selects the labels it touches; Select All takes every label.
    press(50, 350);
    drag(250, 450);
    release();
    EXPECT_TRUE(note->selected);
    EXPECT_TRUE(selectedIds().empty());
    auto other = addLabel("Other", {700, 700, 100, 30});
    canvas->selectAll();
    EXPECT_TRUE(other->selected);
    EXPECT_EQ(selectedIds(), (Ids{"A", "B", "C"}));

    // Delete removes selected labels with the boxes, and one undo brings all back.
    canvas->deselectAll();
    note->selected = true;
    b->selected = true;
    host.undo.beginGroup();
    canvas->deleteSelection();
    host.undo.endGroup();
    EXPECT_EQ(labelTitles(), std::vector<std::string>{"Other"});
    EXPECT_EQ(canvas->model().content().size(), 2u);
    host.undo.undo();
    EXPECT_EQ(labelTitles(), (std::vector<std::string>{"Note", "Other"}));
    EXPECT_EQ(canvas->model().content().size(), 3u);
}

TEST_F(ItemsTest, NudgesOfOneKeyInARowAreOneUndoStep) {
    a->selected = true;
    note->selected = true;
    for (int i = 0; i < 3; ++i)
        canvas->nudge({1, 0});
    EXPECT_EQ(originOf(a->rect), (Point{103, 100}));
    EXPECT_EQ(originOf(note->rect), (Point{103, 400}));
    canvas->nudge({0, 10}); // another key starts another run
    canvas->nudge({0, 10});
    EXPECT_EQ(originOf(a->rect), (Point{103, 120}));

    host.undo.undo(); // ends the run in progress, then takes it back
    EXPECT_EQ(originOf(a->rect), (Point{103, 100}));
    host.undo.undo();
    EXPECT_EQ(originOf(a->rect), (Point{100, 100}));
    EXPECT_EQ(originOf(note->rect), (Point{100, 400}));
    EXPECT_FALSE(host.undo.canUndo());

    // Nothing selected: nothing moves, nothing is recorded. Items stop at the canvas's edge.
    canvas->deselectAll();
    canvas->nudge({-10, 0});
    canvas->finishGesture();
    EXPECT_FALSE(host.undo.canUndo());
    a->selected = true;
    for (int i = 0; i < 20; ++i)
        canvas->nudge({-10, 0});
    EXPECT_EQ(originOf(a->rect), (Point{0, 100}));
}

TEST_F(ItemsTest, CopiedItemsPasteWithTheArrowsAmongThemAndIdsUniqueInTheDocument) {
    canvas->model().arrows = {{a, b}, {b, c}};
    note->selected = true;
    a->selected = b->selected = true;
    const auto copied = copySelection(canvas->model());
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->text, "Unnamed\nUnnamed\nNote\n");

    // Within the document: a grid step right and down, selected, one undo step.
    const Rect visible{0, 0, 800, 600};
    host.undo.beginGroup();
    ASSERT_TRUE(pasteItems(*canvas, copied->json, visible));
    host.undo.endGroup();
    const auto& content = canvas->model().content();
    ASSERT_EQ(content.size(), 5u);
    // The copies: the document holds their ids already, so they get new ones.
    const Ids pastedIds = selectedIds();
    ASSERT_EQ(pastedIds.size(), 2u);
    EXPECT_NE(pastedIds[0], pastedIds[1]);
    for (const auto& id : pastedIds)
        EXPECT_TRUE(id.starts_with("pathwick-")) << id;
    EXPECT_FALSE(a->selected);
    EXPECT_EQ(originOf(content[3]->rect), (Point{110, 110}));
    EXPECT_EQ(originOf(canvas->model().labels.back()->rect), (Point{110, 410}));
    EXPECT_TRUE(canvas->model().labels.back()->selected);
    // The arrow between the copied boxes comes along; the one to C, left behind, does not.
    ASSERT_EQ(canvas->model().arrows.size(), 3u);
    EXPECT_EQ(canvas->model().arrows[2], (Arrow{content[3], content[4]}));
    host.undo.undo();
    EXPECT_EQ(canvas->model().content().size(), 3u);
    EXPECT_EQ(canvas->model().labels.size(), 1u);

    // Into another document: the same items with their ids, in the middle of its view when their place is
    // out of sight there.
    StepsModel otherModel;
    Canvas other(otherModel);
    ASSERT_TRUE(pasteItems(other, copied->json, {2000, 3000, 400, 300}));
    ASSERT_EQ(otherModel.content().size(), 2u);
    EXPECT_EQ(otherModel.content()[0]->id, "A");
    EXPECT_EQ(otherModel.arrows.size(), 1u);
    // The items' middle (250, 265) lands on the view's (2200, 3150), on the grid.
    EXPECT_EQ(originOf(otherModel.content()[0]->rect), (Point{2050, 2980}));

    // What is not our items pastes nothing.
    EXPECT_FALSE(pasteItems(other, "plain words", visible));
    EXPECT_FALSE(pasteItems(other, "{}", visible));
    canvas->deselectAll();
    EXPECT_FALSE(copySelection(canvas->model()));
}

TEST_F(ItemsTest, AlignsAndDistributesTheSelectionAsOneStep) {
    a->rect = {100, 100, 100, 50};
    b->rect = {300, 130, 200, 50};
    c->rect = {900, 90, 100, 80};
    a->selected = b->selected = true;
    EXPECT_TRUE(align(*canvas, Alignment::right));
    EXPECT_EQ(a->rect.maxX(), 500);
    EXPECT_EQ(b->rect.maxX(), 500);
    EXPECT_TRUE(align(*canvas, Alignment::centre));
    EXPECT_EQ(a->rect.midX(), 400);
    EXPECT_EQ(b->rect.midX(), 400);
    EXPECT_TRUE(align(*canvas, Alignment::top));
    EXPECT_EQ(a->rect.y, 100);
    EXPECT_EQ(b->rect.y, 100);
    host.undo.undo();
    host.undo.undo();
    host.undo.undo();
    EXPECT_EQ(a->rect, (Rect{100, 100, 100, 50}));
    EXPECT_EQ(b->rect, (Rect{300, 130, 200, 50}));

    // Labels count; middle and bottom use the selection's vertical extent.
    c->selected = note->selected = true;
    EXPECT_TRUE(align(*canvas, Alignment::bottom));
    EXPECT_EQ(note->rect.maxY(), 430);
    EXPECT_EQ(c->rect.maxY(), 430);
    host.undo.undo();

    // Distributing keeps the outermost and makes the gaps equal: 100 + 200 + 100 wide in 900.
    a->selected = b->selected = c->selected = true;
    EXPECT_TRUE(distribute(*canvas, Distribution::horizontal));
    EXPECT_EQ(a->rect.x, 100);
    EXPECT_EQ(b->rect.x, 450);
    EXPECT_EQ(c->rect.x, 900);

    // Too few items: nothing happens.
    canvas->deselectAll();
    a->selected = b->selected = true;
    host.undo.removeAllActions();
    EXPECT_FALSE(distribute(*canvas, Distribution::vertical));
    a->selected = false;
    EXPECT_FALSE(align(*canvas, Alignment::left));
    EXPECT_FALSE(host.undo.canUndo());
}

TEST_F(ItemsTest, FindGoesThroughMatchingTitlesInReadingOrder) {
    a->title = "Parse the input";
    b->title = "Evaluate";
    c->title = "Print the OUTPUT";
    c->rect.y = 50; // above the others: read first
    note->setTitle("Input and output", host.measurer);

    auto found = findItem(canvas->model(), "put", std::nullopt, false);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->reference, c);
    found = findItem(canvas->model(), "PUT", found, false);
    EXPECT_EQ(found->reference, a);
    found = findItem(canvas->model(), "put", found, false);
    EXPECT_EQ(found->label, note);
    found = findItem(canvas->model(), "put", found, false); // wraps around
    EXPECT_EQ(found->reference, c);
    found = findItem(canvas->model(), "put", found, true);
    EXPECT_EQ(found->label, note);
    EXPECT_EQ(findItem(canvas->model(), "put", std::nullopt, true)->label, note);
    EXPECT_FALSE(findItem(canvas->model(), "nowhere", std::nullopt, false));
    EXPECT_FALSE(findItem(canvas->model(), "", std::nullopt, false));

    selectFound(*canvas, *found);
    EXPECT_TRUE(note->selected);
    EXPECT_TRUE(selectedIds().empty());
}

TEST_F(ItemsTest, InsertedItemsLandInFreeSpaceBelowTheMiddleOfTheView) {
    // Centred on (150, 125) the new box would cover A: it goes below A instead.
    adding::insertReference(*canvas, {150, 125});
    auto inserted = canvas->model().content().back();
    EXPECT_EQ(inserted->rect, (Rect{100, 160, 100, 50}));
    // The next one goes below that one, and a label over the note below it.
    adding::insertReference(*canvas, {150, 125});
    EXPECT_EQ(canvas->model().content().back()->rect.y, 220);
    adding::insertLabel(*canvas, {150, 410});
    EXPECT_EQ(canvas->model().labels.back()->rect.y, 440);
    EXPECT_TRUE(canvas->model().labels.back()->selected);
    // In empty space it stays in the middle.
    adding::insertReference(*canvas, {1500, 1500});
    EXPECT_EQ(canvas->model().content().back()->rect, (Rect{1450, 1470, 100, 50}));
}
