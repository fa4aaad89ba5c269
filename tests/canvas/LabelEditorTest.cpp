#include "canvas/LabelEditor.h"

#include "canvas/CanvasFixture.h"

#include <gtest/gtest.h>

using namespace pathwicks;
using namespace pathwicks::testing;

namespace {

class FakeField : public LabelEditorField {
public:
    void show(const Rect& f, const std::string& t, TextStyle, bool) override {
        shown = true;
        frame = f;
        text = t;
    }
    void moveTo(const Rect& f) override { frame = f; }
    void remove() override { shown = false; }
    bool shown = false;
    Rect frame;
    std::string text;
};

// The window's side of the label editor: the closing that waits for the end of the event is
// run by hand with finishPending().
class EditorHost : public FakeHost {
public:
    void openLabelEditor(const LabelPtr& label) override { editor->open(label); }
    bool isLabelEditorOpen() const override { return editor->isOpen(); }
    void closeLabelEditorLater() override {
        editor->commit();
        pending = true;
    }
    void closeLabelEditorNow() override { editor->closeNow(); }
    void finishPending() {
        if (std::exchange(pending, false))
            editor->finishClosing();
    }
    LabelEditor* editor = nullptr;
    bool pending = false;
};

class LabelEditorTest : public CanvasTest {
protected:
    LabelEditorTest() {
        canvas->setHost(&editorHost);
        editorHost.editor = &editor;
        editorHost.undo.addWillUndoObserver([this] {
            if (canvas)
                canvas->willUndo();
        });
        first = addLabel("Overview", {100, 100, 120, 30});
        second = addLabel("Details", {100, 300, 120, 30});
    }
    void doubleClick(double x, double y) {
        click(x, y);
        editorHost.finishPending();
        press(x, y, 0, 2);
        release();
    }
    void pressAndFinish(double x, double y) {
        click(x, y);
        editorHost.finishPending();
    }
    UndoManager& undo() { return editorHost.undo; }

    EditorHost editorHost;
    FakeField field;
    LabelEditor editor{*canvas, field};
    LabelPtr first, second;
};

} // namespace

TEST_F(LabelEditorTest, TypingRetitlesTheLabelLiveAndTheEditIsOneUndoStep) {
    doubleClick(150, 110);
    undo().removeAllActions(); // the click that came first recorded a move of the label
    ASSERT_TRUE(field.shown);
    EXPECT_EQ(field.frame, (Rect{100, 100, 120, 30}));
    EXPECT_EQ(field.text, "Overview");

    editor.textChanged("O");
    editor.textChanged("Overview of the parser");
    EXPECT_EQ(first->title(), "Overview of the parser");
    EXPECT_EQ(field.frame, first->rect); // the field follows the label as it grows
    EXPECT_GT(first->rect.width, 120);
    EXPECT_FALSE(undo().canUndo());

    pressAndFinish(600, 600); // a press elsewhere closes it
    EXPECT_FALSE(field.shown);
    EXPECT_FALSE(editor.isOpen());
    undo().undo();
    EXPECT_EQ(first->title(), "Overview");
    EXPECT_FALSE(undo().canUndo());
    undo().redo();
    EXPECT_EQ(first->title(), "Overview of the parser");
}

TEST_F(LabelEditorTest, TheEditBelongsToTheLabelItLiesOverWhateverIsPressedLater) {
    doubleClick(150, 110);
    editor.textChanged("Intro");
    // A press on the other label ends the edit: it is still the first label's.
    pressAndFinish(150, 310);
    EXPECT_EQ(first->title(), "Intro");
    EXPECT_EQ(second->title(), "Details");
    undo().undo(); // the press on the second label, a move by nothing
    undo().undo();
    EXPECT_EQ(first->title(), "Overview");
    EXPECT_EQ(second->title(), "Details");

    // Opening on the second label while the first is open commits the first one first.
    doubleClick(150, 110);
    editor.textChanged("A");
    editorHost.openLabelEditor(second);
    editor.textChanged("B");
    editor.commit();
    editor.finishClosing();
    EXPECT_EQ(first->title(), "A");
    EXPECT_EQ(second->title(), "B");
}

TEST_F(LabelEditorTest, UndoWhileTypingCommitsTheTypingAndTakesItBack) {
    canvas->moveLabel(second, {400, 400});
    editorHost.openLabelEditor(first);
    editor.textChanged("Changed");
    undo().undo();
    EXPECT_FALSE(field.shown);
    EXPECT_EQ(first->title(), "Overview");
    EXPECT_EQ(second->rect.x, 400); // the earlier move is still there
    undo().undo();
    EXPECT_EQ(second->rect.x, 100);
}

TEST_F(LabelEditorTest, LabelsTypedEmptyGoAndUndoBringsThemBack) {
    auto stray = addLabel("", {500, 500, 50, 30}); // empty before the editor opened
    doubleClick(150, 110);
    editor.textChanged("");
    editor.commit(); // Return
    editor.finishClosing();
    EXPECT_EQ(canvas->model().labels, (std::vector<LabelPtr>{second}));
    undo().undo();
    ASSERT_EQ(canvas->model().labels.size(), 2u);
    EXPECT_TRUE(canvas->containsLabel(first));
    EXPECT_EQ(first->title(), "Overview");
    EXPECT_FALSE(canvas->containsLabel(stray));

    // Emptied and then undone before closing: the label is back as it was.
    doubleClick(150, 110);
    editor.textChanged("");
    undo().undo();
    EXPECT_TRUE(canvas->containsLabel(first));
    EXPECT_EQ(first->title(), "Overview");
}

TEST_F(CanvasTest, DeleteTakesTheSelectionWithItsArrowsAsOneStep) {
    auto a = addReference("A", {0, 0, 100, 50});
    auto c = addReference("C", {0, 100, 100, 50});
    auto d = addReference("D", {0, 200, 100, 50});
    auto b = addReference("B", {0, 300, 100, 50});
    auto label = addLabel("Kept", {200, 0, 100, 30});
    canvas->model().arrows = {{a, c}, {c, d}, {d, b}};
    a->selected = b->selected = true;
    const int panelUpdates = host.panelUpdates;
    canvas->deleteSelection();
    EXPECT_EQ(canvas->model().content(), (std::vector<ReferencePtr>{c, d}));
    EXPECT_EQ(canvas->model().arrows, (std::vector<Arrow>{{c, d}}));
    EXPECT_EQ(canvas->model().labels, (std::vector<LabelPtr>{label}));
    EXPECT_GT(host.panelUpdates, panelUpdates); // the panel lets go of deleted boxes
    host.undo.undo();
    EXPECT_EQ(canvas->model().content(), (std::vector<ReferencePtr>{a, c, d, b}));
    EXPECT_EQ(canvas->model().arrows, (std::vector<Arrow>{{a, c}, {c, d}, {d, b}}));

    canvas->selectAll();
    EXPECT_EQ(selectedIds(), (std::vector<std::string>{"A", "C", "D", "B"}));
    EXPECT_EQ(canvas->model().labels.size(), 1u);
}

TEST_F(LabelEditorTest, EscapeKeepsTheOldTitleAndRecordsNothing) {
    doubleClick(150, 110);
    undo().removeAllActions();
    editor.textChanged("Overview of everything there is");
    ASSERT_GT(first->rect.width, 120);
    editor.cancel();
    editor.finishClosing();
    EXPECT_FALSE(field.shown);
    EXPECT_EQ(first->title(), "Overview");
    EXPECT_EQ(first->rect, (Rect{100, 100, 120, 30}));
    EXPECT_FALSE(undo().canUndo());
    // A later commit of the closed edit changes nothing either.
    editor.commit();
    EXPECT_FALSE(undo().canUndo());
}
