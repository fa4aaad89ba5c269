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

void shiftPress(Canvas& canvas, Point p) {
    canvas.drawState.interactionState = InteractionState::selectBegan;
    auto reference = canvas.referenceAt(p);
    canvas.drawState.mouseDownRef = reference;
    if (reference)
        reference->selected = !reference->selected;
    for (const auto& r : canvas.model().content()) {
        if (r->selected)
            canvas.savedSelected.push_back(r);
    }
}

void plainPress(Canvas& canvas, Point p) {
    auto& state = canvas.drawState.interactionState;
    auto reference = canvas.referenceAt(p);
    auto label = canvas.labelAt(p);
    canvas.drawState.mouseDownRef = reference;
    canvas.mouseDownLbl = label;

    // A press on a selected reference keeps the selection, so that a drag moves it all.
    if (reference && reference->selected) {
        state = InteractionState::referenceSelectBegan;
    } else {
        canvas.deselectAllReferences();
        canvas.updateDetailPanel();
        if (reference)
            reference->selected = true;
        state = InteractionState::referenceBegan;
    }
    canvas.redisplay();

    if (reference) {
        canvas.dragOffset = minus(p, origin(reference->rect));
        canvas.saveReferencePositions();
        return;
    }
    canvas.drawState.selectRect = Rect{};
    if (label) {
        state = InteractionState::labelMoveBegan;
        canvas.labelStartLocation = origin(label->rect);
        canvas.dragOffset = minus(p, canvas.labelStartLocation);
    } else {
        state = InteractionState::canvasBegan;
    }
}

void moveReferences(Canvas& canvas, Point p) {
    auto dragged = canvas.drawState.mouseDownRef.lock();
    if (!dragged)
        return;
    const Point old = origin(dragged->rect);
    const Point target = snapToGrid(minus(p, canvas.dragOffset));
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
        delta.x = std::min(delta.x, std::max(kCoordinateLimit - r->rect.x, 0.0));
        delta.y = std::min(delta.y, std::max(kCoordinateLimit - r->rect.y, 0.0));
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

void labelFollows(Canvas& canvas, Point p) {
    auto label = canvas.mouseDownLbl.lock();
    if (!label)
        return;
    const Point to = keepOnCanvas(minus(p, canvas.dragOffset));
    label->rect.x = to.x;
    label->rect.y = to.y;
    canvas.host().fitCanvasToContent();
    canvas.redisplay();
}

void narrowToPressedReference(Canvas& canvas) {
    canvas.deselectAllReferences();
    canvas.updateDetailPanel();
    if (auto reference = canvas.drawState.mouseDownRef.lock())
        reference->selected = true;
}

void commitReferenceMove(Canvas& canvas) {
    PositionList now;
    now.reserve(canvas.savedReferencePositions.size());
    for (const auto& [reference, rect] : canvas.savedReferencePositions)
        now.emplace_back(reference, reference->rect);
    canvas.moveReferences(now, canvas.savedReferencePositions);
}

void commitLabelMove(Canvas& canvas) {
    auto label = canvas.mouseDownLbl.lock();
    if (!label)
        return;
    const Point target = origin(label->rect);
    label->rect.x = canvas.labelStartLocation.x;
    label->rect.y = canvas.labelStartLocation.y;
    canvas.moveLabel(label, target);
}

} // namespace pathwicks::selection
