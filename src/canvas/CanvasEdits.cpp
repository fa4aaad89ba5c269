// The canvas's undoable edits. Each step calls the same edit, or its twin, with the old
// values, so undo and redo walk back and forth through one mechanism.
#include "canvas/Canvas.h"

#include "model/UndoCapture.h"

#include <algorithm>

namespace pathwicks {

void Canvas::recordUndo(std::function<void(Canvas&)> step) {
    registerUndo<Canvas>(host_->undoManager(), life_, std::move(step));
}

namespace {

void place(const Placement& placement) {
    for (const auto& [reference, rect] : placement.references)
        reference->rect = rect;
    for (const auto& [label, rect] : placement.labels)
        label->rect = rect;
}

} // namespace

void Canvas::moveReferences(const PositionList& newPositions,
                            const PositionList& previousPositions) {
    moveItems(Placement{newPositions, {}}, Placement{previousPositions, {}});
}

void Canvas::moveItems(const Placement& newPlacement, const Placement& previousPlacement) {
    place(newPlacement);
    recordUndo([newPlacement, previousPlacement](Canvas& canvas) {
        canvas.moveItemsBack(newPlacement, previousPlacement);
    });
    host_->fitCanvasToContent();
    redisplay();
}

void Canvas::moveItemsBack(const Placement& current, const Placement& target) {
    deselectAll();
    updateDetailPanel();
    place(target);
    recordUndo([current, target](Canvas& canvas) { canvas.moveItemsBack(target, current); });
    host_->fitCanvasToContent();
    redisplay();
}

void Canvas::setLabels(std::vector<LabelPtr> labels) {
    recordUndo([old = model_.labels](Canvas& canvas) {
        canvas.setLabels(old);
        canvas.deselectAll();
        canvas.updateDetailPanel();
    });
    model_.labels = std::move(labels);
    redisplay();
}

void Canvas::addArrow(const ReferencePtr& from, const ReferencePtr& to) {
    recordUndo([from, to](Canvas& canvas) {
        canvas.deselectAll();
        canvas.updateDetailPanel();
        canvas.removeArrow(from, to);
    });
    model_.arrows.emplace_back(from, to);
    redisplay();
}

void Canvas::removeArrow(const ReferencePtr& from, const ReferencePtr& to) {
    recordUndo([from, to](Canvas& canvas) {
        canvas.deselectAll();
        canvas.updateDetailPanel();
        canvas.addArrow(from, to);
    });
    std::erase_if(model_.arrows,
                  [&](const Arrow& arrow) { return arrow.first == from && arrow.second == to; });
    redisplay();
}

void Canvas::setContentAndArrows(std::vector<ReferencePtr> content, std::vector<Arrow> arrows) {
    recordUndo([oldContent = model_.content(), oldArrows = model_.arrows](Canvas& canvas) {
        canvas.setContentAndArrows(oldContent, oldArrows);
        canvas.deselectAll();
        canvas.updateDetailPanel();
    });
    model_.setContent(std::move(content));
    model_.arrows = std::move(arrows);
    redisplay();
}

void Canvas::setLabelPresence(const LabelPtr& label, bool add) {
    std::erase(model_.labels, label);
    recordUndo([snapshot = model_.labels, label, add](Canvas& canvas) {
        canvas.model().labels = snapshot;
        canvas.setLabelPresence(label, !add);
    });
    if (add)
        model_.labels.push_back(label);
    redisplay();
}

void Canvas::moveLabel(const LabelPtr& label, Point target) {
    const Point start{label->rect.x, label->rect.y};
    recordUndo([label, start](Canvas& canvas) { canvas.moveLabel(label, start); });
    label->rect.x = target.x;
    label->rect.y = target.y;
    redisplay();
}

} // namespace pathwicks
