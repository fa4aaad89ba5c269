#pragma once

#include "appearance/DrawList.h"
#include "model/Geometry.h"
#include "model/Label.h"
#include "model/Reference.h"

#include <memory>
#include <optional>
#include <string>

namespace pathwicks {

class Canvas;

// The text field the window lays over a label or a box while its title is typed.
class LabelEditorField {
public:
    virtual ~LabelEditorField() = default;
    // Shows the field over frame with the text, in the font of style, and gives it the focus;
    // the text is selected, or else the cursor is at its end (typing that began the edit).
    virtual void show(const Rect& frame, const std::string& text, TextStyle style,
                      bool selectText) = 0;
    virtual void moveTo(const Rect& frame) = 0;
    virtual void remove() = 0;
};

// Editing a label's or a box's title in place. The edit belongs to the item the field was
// opened over, whatever is pressed meanwhile; typing changes the title live, and the whole edit
// becomes one undo step when it is committed.
class LabelEditor {
public:
    LabelEditor(Canvas& canvas, LabelEditorField& field) : canvas_(canvas), field_(field) {}

    // Commits and closes an edit still open on another item first. With typed, the title
    // starts as that text (a key pressed on the selected item) instead of the item's own.
    void open(const LabelPtr& label, const std::optional<std::string>& typed = std::nullopt);
    void open(const ReferencePtr& reference,
              const std::optional<std::string>& typed = std::nullopt);
    // The field is on the canvas (also while it is closing).
    bool isOpen() const { return fieldShown_; }
    LabelPtr label() const { return label_.lock(); }
    ReferencePtr reference() const { return reference_.lock(); }
    // The rectangle of the item being edited, if it is still there.
    std::optional<Rect> itemRect() const;

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
    // Sets the title of the item being edited and fits it to the title.
    void retitle(const std::string& text);
    void start(const std::string& title, const Rect& rect, TextStyle style,
               const std::optional<std::string>& typed);

    Canvas& canvas_;
    LabelEditorField& field_;
    std::weak_ptr<Label> label_;
    std::weak_ptr<Reference> reference_;
    std::string savedTitle_;
    Rect savedRect_;
    bool editing_ = false;
    bool fieldShown_ = false;
};

} // namespace pathwicks
