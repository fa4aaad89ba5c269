#pragma once

#include "model/Geometry.h"
#include "model/Label.h"

#include <memory>
#include <string>

namespace pathwicks {

class Canvas;

// The text field the window lays over a label while its title is typed.
class LabelEditorField {
public:
    virtual ~LabelEditorField() = default;
    // Shows the field over frame with the text, in the label font, and gives it the focus.
    virtual void show(const Rect& frame, const std::string& text) = 0;
    virtual void moveTo(const Rect& frame) = 0;
    virtual void remove() = 0;
};

// Editing a label's title in place. The edit belongs to the label the field was opened over,
// whatever is pressed meanwhile; typing changes the title live, and the whole edit becomes one
// undo step when it is committed.
class LabelEditor {
public:
    LabelEditor(Canvas& canvas, LabelEditorField& field) : canvas_(canvas), field_(field) {}

    // Commits and closes an edit still open on another label first.
    void open(const LabelPtr& label);
    // The field is on the canvas (also while it is closing).
    bool isOpen() const { return fieldShown_; }
    LabelPtr label() const { return label_.lock(); }

    void textChanged(const std::string& text);

    // Return or a press elsewhere: the title is committed now; the field and the labels left
    // without a title go with finishClosing(), after the event.
    void commit();
    // Escape: the label gets back the title and size it had when the edit began, and nothing
    // is recorded; the field goes with finishClosing().
    void cancel();
    void finishClosing();
    // Before undo and redo: commit, and remove everything at once, so that the undo step finds
    // the edit recorded and takes the typing back.
    void closeNow();

private:
    Canvas& canvas_;
    LabelEditorField& field_;
    std::weak_ptr<Label> label_;
    std::string savedTitle_;
    Rect savedRect_;
    bool editing_ = false;
    bool fieldShown_ = false;
};

} // namespace pathwicks
