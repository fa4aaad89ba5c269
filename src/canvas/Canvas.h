#pragma once

#include "appearance/InteractionOverlay.h"
#include "canvas/CanvasHost.h"
#include "canvas/Gesture.h"
#include "canvas/PointerEvent.h"
#include "model/StepsModel.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pathwicks {

class TextMeasurer;
class UndoManager;

// One document's canvas: it shows and edits a model owned elsewhere, which outlives it. It
// takes presses, drags and releases, keeps the state of the gesture in progress to itself,
// and makes the undoable edits.
class Canvas {
public:
    explicit Canvas(StepsModel& model) : model_(model) {}
    // Its undo steps find it by its address.
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    StepsModel& model() const { return model_; }

    // The window's side of things; without one, the defaults of CanvasHost apply.
    void setHost(CanvasHost* host) { host_ = host ? host : &noHost_; }
    CanvasHost& host() const { return *host_; }

    // Left button.
    void mouseDown(const PointerEvent& event);
    void mouseDragged(const PointerEvent& event);
    void mouseUp(const PointerEvent& event);
    // Right button: arrows between references, panning.
    void rightMouseDown(const PointerEvent& event);
    void rightMouseDragged(const PointerEvent& event);
    void rightMouseUp(const PointerEvent& event) { mouseUp(event); }

    // A press started something that only its release, or finishGesture(), ends.
    bool gestureInProgress() const { return !std::holds_alternative<gesture::None>(gesture_); }
    // Ends the gesture in progress as its release would: used when the window loses the
    // pointer or the focus, and before undo and redo, so that a change made by drags is never
    // left unrecorded.
    void finishGesture();
    // What the drawing shows of the gesture in progress.
    InteractionOverlay interactionOverlay() const;

    // The add button's square in canvas coordinates: a plain or option press inside it starts
    // adding. The window moves it along with the visible part of the canvas.
    void setAddButton(const Rect& square) { addButton_ = square; }

    // The reference last pressed or made: a double click opens it, and the next arrow press
    // deselects it before selecting its own.
    ReferencePtr pressedReference() const { return pressed_.lock(); }
    void setPressedReference(const ReferencePtr& reference) { pressed_ = reference; }

    // Run just before each undo and redo of the canvas's window, so that whatever is in
    // progress is finished first.
    void willUndo();
    void willRedo();

    // Topmost item under the point: later items are drawn on top.
    ReferencePtr referenceAt(Point p) const;
    LabelPtr labelAt(Point p) const;
    bool contains(const ReferencePtr& reference) const;
    bool containsLabel(const LabelPtr& label) const;
    // Clears the selection of references and labels alike.
    void deselectAll();
    // Every selected reference and label with its rectangle, in the model's order.
    Placement selectedPlacement() const;
    bool hasSelection() const;
    void redisplay() { host_->redisplay(); }
    void updateDetailPanel() { host_->updateDetailPanel(); }

    // The undoable edits. Each records its inverse with the window's undo manager, holding the
    // canvas weakly and the records strongly, then changes the model and redisplays. Steps
    // left in the history after the canvas is gone do nothing.
    void moveReferences(const PositionList& newPositions, const PositionList& previousPositions);
    void moveItems(const Placement& newPlacement, const Placement& previousPlacement);
    // Replaces the labels, as when selected ones are deleted.
    void setLabels(std::vector<LabelPtr> labels);
    void addArrow(const ReferencePtr& from, const ReferencePtr& to);
    void removeArrow(const ReferencePtr& from, const ReferencePtr& to);
    void setContentAndArrows(std::vector<ReferencePtr> content, std::vector<Arrow> arrows);
    void setLabelPresence(const LabelPtr& label, bool add);
    void moveLabel(const LabelPtr& label, Point target);

    // Title, editor, note and marker edits of the detail panel and the label editor. Titles refit
    // their boxes; a re-attached marker leaves the box as wide as it was.
    void setReferenceTitle(const ReferencePtr& reference, const std::string& previousTitle,
                           const std::string& newTitle);
    void setLabelTitle(const LabelPtr& label, const std::string& previousTitle,
                       const std::string& newTitle);
    void setReferenceEditor(const ReferencePtr& reference, const std::string& editor);
    void setReferenceNote(const ReferencePtr& reference, const std::string& previousNote,
                          const std::string& newNote);
    void setReferenceIdAndTitle(const ReferencePtr& reference, const std::string& id,
                                const std::string& title);
    // Drops labels whose title is empty; not undoable.
    void removeEmptyLabels();

    // The keyboard's commands. Deleting removes the selected references and labels and takes
    // the arrows that touch the selection along, as one undo step.
    void deleteSelection();
    void selectAll();
    // Moves the selection by step. Presses of the same step in a row make one run, recorded as
    // one undo step when something else happens (finishGesture).
    void nudge(Point step);

    // The window's measurer, or an estimate when there is no window.
    const TextMeasurer& measurer() const;

    bool hasArrow(const ReferencePtr& from, const ReferencePtr& to) const;

private:
    // A double click opens the reference its first click pressed, or else edits the label
    // under it; false when there is neither.
    bool openOnDoubleClick(Point p);
    // The undo form of a move: selection cleared, items put at the target rectangles.
    void moveItemsBack(const Placement& current, const Placement& target);
    void endNudge(const gesture::Nudge& run);
    // Registers an undo step that runs on this canvas while it lives.
    void recordUndo(std::function<void(Canvas&)> step);

    StepsModel& model_;
    Gesture gesture_;
    std::weak_ptr<Reference> pressed_;
    Rect addButton_;
    CanvasHost noHost_;
    CanvasHost* host_ = &noHost_;
    // Undo steps hold this weakly: it points at the canvas, shares the life of a token the
    // canvas owns, and so expires with the canvas however the canvas was made.
    std::shared_ptr<Canvas> life_{std::make_shared<char>(), this};
};

} // namespace pathwicks
