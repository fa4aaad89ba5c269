#pragma once

#include "canvas/CanvasDrawState.h"
#include "canvas/CanvasHost.h"
#include "canvas/PointerEvent.h"
#include "model/StepsModel.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace pathwicks {

class TextMeasurer;
class UndoManager;

// Rectangles of references at one moment. A move is recorded against the boxes themselves,
// so that nothing done to the content's order in the meantime can move the wrong box.
using PositionList = std::vector<std::pair<ReferencePtr, Rect>>;

// One document's canvas: the model it owns for its whole life, the interaction fields that
// gestures change and drawing reads, and the undoable edits. Held in a shared_ptr by its
// window, so that undo steps can hold it weakly.
class Canvas : public std::enable_shared_from_this<Canvas> {
public:
    StepsModel model;
    // interactionState, selectRect, mouseDownRef, mouseDragRef, mouseLocation and addRect.
    CanvasDrawState drawState;

    // The label hit by the press, or the label being made.
    std::weak_ptr<Label> mouseDownLbl;
    // Press location minus the origin of the pressed item; zero for new items.
    Point dragOffset;
    Point labelStartLocation;
    // Every selected reference with its rectangle at a press on a reference, in content order.
    PositionList savedReferencePositions;
    // The selection after a shift press's own toggle; the rubber band toggles against it.
    std::vector<ReferencePtr> savedSelected;

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

    bool gestureInProgress() const { return drawState.interactionState != InteractionState::none; }
    // Ends the gesture in progress as a release where the pointer was last seen would: used
    // when the window loses the pointer or the focus, and before undo and redo, so that a
    // change made by drags is never left unrecorded.
    void finishGesture();

    // Run just before each undo and redo of the canvas's window, so that whatever is in
    // progress is finished first.
    void willUndo();
    void willRedo();

    // Topmost item under the point: later items are drawn on top.
    ReferencePtr referenceAt(Point p) const;
    LabelPtr labelAt(Point p) const;
    bool contains(const ReferencePtr& reference) const;
    bool containsLabel(const LabelPtr& label) const;
    void deselectAllReferences();
    void saveReferencePositions();
    void redisplay() { host_->redisplay(); }
    void updateDetailPanel() { host_->updateDetailPanel(); }

    // The undoable edits. Each records its inverse with the window's undo manager, holding the
    // canvas weakly and the records strongly, then changes the model and redisplays.
    void moveReferences(const PositionList& newPositions, const PositionList& previousPositions);
    void addArrow(const ReferencePtr& from, const ReferencePtr& to);
    void removeArrow(const ReferencePtr& from, const ReferencePtr& to);
    void setContentAndArrows(std::vector<ReferencePtr> content, std::vector<Arrow> arrows);
    void setLabelPresence(const LabelPtr& label, bool add);
    void moveLabel(const LabelPtr& label, Point target);

    // Title, editor and marker edits of the detail panel and the label editor. Titles refit
    // their boxes; a re-attached marker leaves the box as wide as it was.
    void setReferenceTitle(const ReferencePtr& reference, const std::string& previousTitle,
                           const std::string& newTitle);
    void setLabelTitle(const LabelPtr& label, const std::string& previousTitle,
                       const std::string& newTitle);
    void setReferenceEditor(const ReferencePtr& reference, const std::string& editor);
    void setReferenceIdAndTitle(const ReferencePtr& reference, const std::string& id,
                                const std::string& title);
    // Drops labels whose title is empty; not undoable.
    void removeEmptyLabels();

    // The keyboard's commands. Deleting takes the arrows that touch the selection along, as one
    // undo step; labels stay.
    void deleteSelection();
    void selectAll();

    // The window's measurer, or an estimate when there is no window.
    const TextMeasurer& measurer() const;

    bool hasArrow(const ReferencePtr& from, const ReferencePtr& to) const;

private:
    // The undo form of a move: selection cleared, boxes put at the target rectangles.
    void moveReferencesBack(const PositionList& current, const PositionList& target);
    // Registers an undo step that runs on this canvas while it lives.
    void recordUndo(std::function<void(Canvas&)> step);

    CanvasHost noHost_;
    CanvasHost* host_ = &noHost_;
};

} // namespace pathwicks
