#pragma once

#include "canvas/Canvas.h"
#include "editors/EditorAvailability.h"
#include "model/MarkerLine.h"
#include "model/MarkerStates.h"
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
    // The Editor menu with several boxes selected: the editor of every selected box, in one
    // undo step.
    void editorChosenForSelection(const std::string& name);
    // Whether any box is selected, and the editor all the selected boxes have, if they agree.
    struct SelectionEditor {
        bool any = false;
        std::optional<std::string> common;
    };
    SelectionEditor selectionEditor() const;

    // What the last marker check found, for the style of the shown box's file; none before the
    // first check ends.
    void setMarkerStates(const MarkerStates* states) { states_ = states; }

    // The comment style the shown box's marker line is shown and copied in: the one last
    // chosen for the kind of file its marker was found in, else that file's own (the table of
    // model/CommentStyles); for a box not found, the style last chosen for any file.
    const MarkerStyle& markerStyle() const;
    // A style chosen in the chooser: remembered for the kind of file the shown box's marker
    // is in, and as the last chosen.
    void markerStyleChosen(const std::string& opener);

    // Puts the shown reference's marker line on the pasteboard, in the chosen style. With
    // attach, the first marker line on the pasteboard first gives the reference its id and
    // title (one undo step); when there is none the user is told and the pasteboard is left as
    // it is, and an id another box already has is taken only when the user agrees.
    void copyMarker(Pasteboard& pasteboard, bool attach);

private:
    // Where the style of a found box's file is remembered, and the file's own style if known.
    struct FileStyle {
        std::string key;
        const MarkerStyle* own;
    };
    std::optional<FileStyle> fileStyleOf(const Reference& reference) const;

    Canvas& canvas_;
    PanelControls& controls_;
    const EditorAvailability& editors_;
    const MarkerStates* states_ = nullptr;
    std::weak_ptr<Reference> shown_;
    std::weak_ptr<Reference> editing_;
    std::string savedTitle_;
    std::weak_ptr<Reference> editingNote_;
    std::string savedNote_;
};

} // namespace pathwicks
