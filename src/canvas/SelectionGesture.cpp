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

} // namespace

Gesture shiftPress(Canvas& canvas, Point p) {
    auto reference = canvas.referenceAt(p);
    canvas.setPressedReference(reference);
    if (reference) {
        reference->selected = !reference->selected;
        return gesture::ShiftToggle{};
    }
    std::vector<ReferencePtr> selected;
    for (const auto& r : canvas.model().content()) {
        if (r->selected)
            selected.push_back(r);
    }
    return gesture::RubberBand{p, std::nullopt, std::move(selected)};
}

Gesture plainPress(Canvas& canvas, Point p) {
    auto reference = canvas.referenceAt(p);
    auto label = canvas.labelAt(p);
    canvas.setPressedReference(reference);

    // A press on a selected reference keeps the selection, so that a drag moves it all.
    const bool wasSelected = reference && reference->selected;
    if (!wasSelected) {
        canvas.deselectAllReferences();
        canvas.updateDetailPanel();
        if (reference)
            reference->selected = true;
    }
    canvas.redisplay();

    if (reference) {
        return gesture::MoveReferences{reference, minus(p, origin(reference->rect)),
                                       canvas.selectedPositions(), wasSelected};
    }
    if (label) {
        const Point start = origin(label->rect);
        return gesture::MoveLabel{label, start, minus(p, start)};
    }
    return gesture::RubberBand{p, Rect{}, {}};
}

void dragReferences(Canvas& canvas, gesture::MoveReferences& move, Point p) {
    move.moved = true;
    referencesFollow(canvas, move.pressed.lock(), move.dragOffset, p);
}

void dragLabel(Canvas& canvas, gesture::MoveLabel& move, Point p) {
    labelFollows(canvas, move.label.lock(), move.dragOffset, p);
}

void release(Canvas& canvas, const gesture::MoveReferences& move) {
    if (move.moved) {
        PositionList now;
        now.reserve(move.before.size());
        for (const auto& [reference, rect] : move.before)
            now.emplace_back(reference, reference->rect);
        canvas.moveReferences(now, move.before);
    } else if (move.wasSelected) {
        canvas.deselectAllReferences();
        canvas.updateDetailPanel();
        if (auto reference = move.pressed.lock())
            reference->selected = true;
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

void referencesFollow(Canvas& canvas, const ReferencePtr& dragged, Point offset, Point p) {
    if (!dragged)
        return;
    const Point old = origin(dragged->rect);
    const Point target = snapToGrid(minus(p, offset));
    Point delta = minus(target, old);

    std::vector<ReferencePtr> others;
    for (const auto& r : canvas.model().content()) {
        if (r->selected && r != dragged)
            others.push_back(r);
    }
    // The group stops at the canvas's left and top edges, where nothing could scroll to it,
    // and at the farthest coordinate a document holds; a box that already lies beyond them
    // (from a file) just cannot go further.
    auto holdAtEdges = [&delta](const ReferencePtr& r) {
        delta.x = std::max(delta.x, -std::max(r->rect.x, 0.0));
        delta.y = std::max(delta.y, -std::max(r->rect.y, 0.0));
        delta.x = std::min(delta.x, std::max(coordinateLimit - r->rect.x, 0.0));
        delta.y = std::min(delta.y, std::max(coordinateLimit - r->rect.y, 0.0));
    };
    holdAtEdges(dragged);
    std::for_each(others.begin(), others.end(), holdAtEdges);

    dragged->rect.x = old.x + delta.x;
    dragged->rect.y = old.y + delta.y;
    for (const auto& r : others) {
        r->rect.x += delta.x;
        r->rect.y += delta.y;
    }
    canvas.host().fitCanvasToContent();
    canvas.redisplay();
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
