#include "canvas/Canvas.h"

#include "canvas/AddGesture.h"
#include "canvas/ArrowGesture.h"
#include "canvas/RubberBand.h"
#include "canvas/SelectionGesture.h"

#include <algorithm>

namespace pathwicks {

using State = InteractionState;

void Canvas::mouseDown(const PointerEvent& event) {
    // A release that never came (the other button pressed meanwhile, a lost grab) still ends
    // its gesture, so that no change is left unrecorded.
    finishGesture();
    State& state = drawState.interactionState;
    state = State::none;
    savedSelected.clear();
    mouseDownLbl.reset();
    drawState.mouseLocation = event.location;
    const Point p = event.location;

    if (event.has(shiftKey)) {
        selection::shiftPress(*this, p);
    } else if (event.has(controlKey)) {
        arrows::press(*this, p, false);
    } else if (event.clickCount == 2) {
        // The first click of the pair has already hit-tested what lies under it.
        if (auto reference = drawState.mouseDownRef.lock(); reference && contains(reference)) {
            host_->gotoReference(reference);
            return;
        }
        auto label = labelAt(p);
        mouseDownLbl = label;
        if (label) {
            host_->openLabelEditor(label);
            return;
        }
    } else if (drawState.addRect.contains(p)) {
        state = event.has(optionKey) ? State::addLabelBegan : State::addBegan;
    } else {
        selection::plainPress(*this, p);
    }
    if (host_->isLabelEditorOpen())
        host_->closeLabelEditorLater();
}

void Canvas::mouseDragged(const PointerEvent& event) {
    State& state = drawState.interactionState;
    if (state == State::referenceBegan || state == State::referenceSelectBegan)
        state = State::referenceBeganMove;
    else if (state == State::selectBegan && !drawState.mouseDownRef.lock())
        state = State::canvasBegan;

    const Point p = event.location;
    switch (state) {
    case State::canvasBegan:
        dragRubberBand(*this, p);
        break;
    case State::controlCanvasBegan:
    case State::controlReferenceBegan:
        // Letting go of control freezes an arrow's target at the last reference found.
        if (event.has(controlKey))
            rightMouseDragged(event);
        break;
    case State::referenceBeganMove:
    case State::addBeganAdded:
        selection::moveReferences(*this, p);
        break;
    case State::addBegan:
        adding::addReferenceAt(*this, p);
        break;
    case State::addLabelBegan:
        adding::addLabelAt(*this, p);
        break;
    case State::labelMoveNewBegan:
    case State::labelMoveBegan:
        selection::labelFollows(*this, p);
        break;
    case State::none:
    case State::referenceBegan:
    case State::referenceSelectBegan:
    case State::selectBegan:
        break;
    }
}

void Canvas::mouseUp(const PointerEvent&) {
    State& state = drawState.interactionState;
    switch (state) {
    case State::controlReferenceBegan:
        arrows::toggleOnRelease(*this);
        break;
    case State::referenceSelectBegan:
        selection::narrowToPressedReference(*this);
        break;
    case State::referenceBeganMove:
        selection::commitReferenceMove(*this);
        break;
    case State::addBeganAdded:
        adding::commitAddedReference(*this);
        break;
    case State::labelMoveNewBegan:
        adding::commitAddedLabel(*this);
        break;
    case State::labelMoveBegan:
        selection::commitLabelMove(*this);
        break;
    case State::none:
    case State::canvasBegan:
    case State::controlCanvasBegan:
    case State::referenceBegan:
    case State::selectBegan:
    case State::addBegan:
    case State::addLabelBegan:
        break;
    }
    state = State::none;
    redisplay();
    updateDetailPanel();
}

void Canvas::rightMouseDown(const PointerEvent& event) {
    finishGesture();
    arrows::press(*this, event.location, true);
}

void Canvas::rightMouseDragged(const PointerEvent& event) {
    arrows::drag(*this, event);
}

void Canvas::finishGesture() {
    if (!gestureInProgress())
        return;
    PointerEvent release;
    release.location = drawState.mouseLocation;
    mouseUp(release);
}

void Canvas::willUndo() {
    host_->closeLabelEditorNow();
    finishGesture();
}

void Canvas::willRedo() {
    willUndo();
}

ReferencePtr Canvas::referenceAt(Point p) const {
    const auto& content = model_.content();
    auto hit = std::find_if(content.rbegin(), content.rend(),
                            [p](const ReferencePtr& r) { return r->rect.contains(p); });
    return hit == content.rend() ? nullptr : *hit;
}

LabelPtr Canvas::labelAt(Point p) const {
    auto hit = std::find_if(model_.labels.rbegin(), model_.labels.rend(),
                            [p](const LabelPtr& l) { return l->rect.contains(p); });
    return hit == model_.labels.rend() ? nullptr : *hit;
}

bool Canvas::contains(const ReferencePtr& reference) const {
    return std::find(model_.content().begin(), model_.content().end(), reference) !=
           model_.content().end();
}

bool Canvas::containsLabel(const LabelPtr& label) const {
    return std::find(model_.labels.begin(), model_.labels.end(), label) != model_.labels.end();
}

void Canvas::deselectAllReferences() {
    for (const auto& reference : model_.content())
        reference->selected = false;
}

void Canvas::saveReferencePositions() {
    savedReferencePositions.clear();
    for (const auto& reference : model_.content()) {
        if (reference->selected)
            savedReferencePositions.emplace_back(reference, reference->rect);
    }
}

bool Canvas::hasArrow(const ReferencePtr& from, const ReferencePtr& to) const {
    return std::any_of(model_.arrows.begin(), model_.arrows.end(), [&](const Arrow& arrow) {
        return arrow.first == from && arrow.second == to;
    });
}

} // namespace pathwicks
