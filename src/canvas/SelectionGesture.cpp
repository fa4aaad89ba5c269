#include "canvas/SelectionGesture.h"

#include "canvas/Canvas.h"
#include "canvas/Grid.h"

#include <algorithm>

namespace pathwicks::selection {

namespace {

Point origin(const Rect& r) {
    return {r.x, r.y};
}
Point minus(Point a, Point b) {
    return {a.x - b.x, a.y - b.y};
}

size_t selectedCount(const Canvas& canvas) {
    const Placement selected = canvas.selectedPlacement();
    return selected.references.size() + selected.labels.size();
}

} // namespace

Gesture shiftPress(Canvas& canvas, Point p) {
    auto reference = canvas.referenceAt(p);
    canvas.setPressedReference(reference);
    if (reference) {
        reference->selected = !reference->selected;
        return gesture::ShiftToggle{};
    }
    if (auto label = canvas.labelAt(p)) {
        label->selected = !label->selected;
        canvas.redisplay();
        return gesture::ShiftToggle{};
    }
    std::vector<ReferencePtr> selected;
    for (const auto& r : canvas.model().content()) {
        if (r->selected)
            selected.push_back(r);
    }
    std::vector<LabelPtr> selectedLabels;
    for (const auto& l : canvas.model().labels) {
        if (l->selected)
            selectedLabels.push_back(l);
    }
    return gesture::RubberBand{p, std::nullopt, std::move(selected), std::move(selectedLabels)};
}

Gesture plainPress(Canvas& canvas, Point p) {
    auto reference = canvas.referenceAt(p);
    auto label = reference ? nullptr : canvas.labelAt(p);
    canvas.setPressedReference(reference);

    // A press on a selected item keeps the selection, so that a drag moves it all.
    if (label && label->selected && selectedCount(canvas) > 1) {
        const Point start = origin(label->rect);
        return gesture::MoveSelection{{}, label, minus(p, start), canvas.selectedPlacement(), true};
    }
    const bool wasSelected = reference && reference->selected;
    if (!wasSelected) {
        canvas.deselectAll();
        canvas.updateDetailPanel();
        if (reference)
            reference->selected = true;
        if (label)
            label->selected = true;
    }
    canvas.redisplay();

    if (reference) {
        return gesture::MoveSelection{reference,
                                      {},
                                      minus(p, origin(reference->rect)),
                                      canvas.selectedPlacement(),
                                      wasSelected};
    }
    if (label) {
        const Point start = origin(label->rect);
        return gesture::MoveLabel{label, start, minus(p, start)};
    }
    return gesture::RubberBand{p, Rect{}, {}, {}};
}

void dragSelection(Canvas& canvas, gesture::MoveSelection& move, Point p) {
    move.moved = true;
    if (auto label = move.pressedLabel.lock()) {
        Point delta = minus(minus(p, move.dragOffset), origin(label->rect));
        // With boxes among them, the items move by whole grid steps, so the boxes stay on it.
        if (!canvas.selectedPlacement().references.empty())
            delta = snapToGrid(delta);
        moveSelectedBy(canvas, delta);
        return;
    }
    referencesFollow(canvas, move.pressed.lock(), move.dragOffset, p);
}

void dragLabel(Canvas& canvas, gesture::MoveLabel& move, Point p) {
    labelFollows(canvas, move.label.lock(), move.dragOffset, p);
}

void release(Canvas& canvas, const gesture::MoveSelection& move) {
    if (move.moved) {
        Placement now;
        for (const auto& [reference, rect] : move.before.references)
            now.references.emplace_back(reference, reference->rect);
        for (const auto& [label, rect] : move.before.labels)
            now.labels.emplace_back(label, label->rect);
        canvas.moveItems(now, move.before);
    } else if (move.wasSelected) {
        canvas.deselectAll();
        canvas.updateDetailPanel();
        if (auto reference = move.pressed.lock())
            reference->selected = true;
        if (auto label = move.pressedLabel.lock())
            label->selected = true;
    }
}

void release(Canvas& canvas, const gesture::MoveLabel& move) {
    auto label = move.label.lock();
    if (!label)
        return;
    const Point target = origin(label->rect);
    label->rect.x = move.start.x;
    label->rect.y = move.start.y;
    canvas.moveLabel(label, target);
}

void moveSelectedBy(Canvas& canvas, Point delta) {
    std::vector<ReferencePtr> references;
    for (const auto& r : canvas.model().content()) {
        if (r->selected)
            references.push_back(r);
    }
    std::vector<LabelPtr> labels;
    for (const auto& l : canvas.model().labels) {
        if (l->selected)
            labels.push_back(l);
    }
    // The group stops at the canvas's left and top edges and at the farthest coordinate a
    // document holds; an item that already lies beyond them (from a file, or a title that
    // grew) just cannot go further.
    auto holdAtEdges = [&delta](const Rect& r) {
        delta.x = std::max(delta.x, -std::max(r.x, 0.0));
        delta.y = std::max(delta.y, -std::max(r.y, 0.0));
        delta.x = std::min(delta.x, std::max(coordinateLimit - r.x, 0.0));
        delta.y = std::min(delta.y, std::max(coordinateLimit - r.y, 0.0));
    };
    for (const auto& r : references)
        holdAtEdges(r->rect);
    for (const auto& l : labels)
        holdAtEdges(l->rect);
    for (const auto& r : references) {
        r->rect.x += delta.x;
        r->rect.y += delta.y;
    }
    for (const auto& l : labels) {
        l->rect.x += delta.x;
        l->rect.y += delta.y;
    }
    canvas.host().fitCanvasToContent();
    canvas.redisplay();
}

void referencesFollow(Canvas& canvas, const ReferencePtr& dragged, Point offset, Point p) {
    if (!dragged)
        return;
    const Point target = snapToGrid(minus(p, offset));
    moveSelectedBy(canvas, minus(target, origin(dragged->rect)));
}

void labelFollows(Canvas& canvas, const LabelPtr& label, Point offset, Point p) {
    if (!label)
        return;
    const Point to = keepOnCanvas(minus(p, offset));
    label->rect.x = to.x;
    label->rect.y = to.y;
    canvas.host().fitCanvasToContent();
    canvas.redisplay();
}

} // namespace pathwicks::selection
