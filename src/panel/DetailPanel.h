#pragma once

#include "canvas/Canvas.h"
#include "editors/EditorAvailability.h"
#include "model/MarkerLine.h"
#include "panel/PanelControls.h"

#include <memory>
#include <string>

namespace pathwicks {

// The panel beside the canvas for the one selected reference: its marker, its name, its note
// and its editor, and the copy of its marker line. Every edit here acts on the reference the panel
// shows, whatever was pressed last.
class DetailPanel {
public:
    DetailPanel(Canvas& canvas, PanelControls& controls, const EditorAvailability& editors)
        : canvas_(canvas), controls_(controls), editors_(editors) {}

    // Brings the controls in line with the selection.
    void updateDetailPanel();
    // The single selected reference the panel shows, if any.
    ReferencePtr shownReference() const { return shown_.lock(); }

    // The name field: each keystroke retitles the box live; the whole edit becomes one undo
    // step when it ends, restoring the title from its start.
    void nameEdited(const std::string& text);
    void nameEditEnded();
    bool isEditingName() const { return editing_.lock() != nullptr; }

    // The note field, edited the same way: live, then one undo step when the edit ends.
    void noteEdited(const std::string& text);
    void noteEditEnded();
    // Ends the name's and the note's edits, as before undo and redo.
    void endEdits();

    // The editor chosen in the pop-up or the Editor menu; remembered for new references unless
    // it is the web-link editor.
    void editorChosen(const std::string& name);

    // The comment style marker lines are copied in, remembered for the user.
    const MarkerStyle& markerStyle() const;
    void markerStyleChosen(const std::string& opener);

    // Puts the shown reference's marker line on the pasteboard, in the chosen style. With
    // attach, the first marker line on the pasteboard first gives the reference its id and
    // title (one undo step); when there is none the user is told and the pasteboard is left as
    // it is, and an id another box already has is taken only when the user agrees.
    void copyMarker(Pasteboard& pasteboard, bool attach);

private:
    Canvas& canvas_;
    PanelControls& controls_;
    const EditorAvailability& editors_;
    std::weak_ptr<Reference> shown_;
    std::weak_ptr<Reference> editing_;
    std::string savedTitle_;
    std::weak_ptr<Reference> editingNote_;
    std::string savedNote_;
};

} // namespace pathwicks
