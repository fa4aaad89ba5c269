#include "canvas/Canvas.h"

#include "canvas/AddGesture.h"
#include "canvas/ArrowGesture.h"
#include "canvas/ResizeGesture.h"
#include "canvas/RubberBand.h"
#include "canvas/SelectionGesture.h"

#include <algorithm>
#include <utility>

namespace pathwicks {

namespace {

// One call operator per gesture, for std::visit.
template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };

} // namespace

void Canvas::mouseDown(const PointerEvent& event) {
    // A release that never came (the other button pressed meanwhile, a lost grab) still ends
    // its gesture, so that no change is left unrecorded.
    finishGesture();
    const Point p = event.location;

    if (event.has(shiftKey)) {
        gesture_ = selection::shiftPress(*this, p);
    } else if (event.has(controlKey)) {
        gesture_ = arrows::press(*this, p, false);
    } else if (event.clickCount == 2) {
        if (openOnDoubleClick(p))
            return;
    } else if (addButton_.contains(p)) {
        gesture_ =
            event.has(optionKey) ? Gesture{gesture::AddLabel{}} : Gesture{gesture::AddReference{}};
    } else if (auto resize = resizing::press(*this, p)) {
        gesture_ = *resize;
    } else {
        gesture_ = selection::plainPress(*this, p);
    }
    if (host_->isLabelEditorOpen())
        host_->closeLabelEditorLater();
}

bool Canvas::openOnDoubleClick(Point p) {
    // The first click of the pair has already hit-tested what lies under it.
    if (auto reference = pressed_.lock(); reference && contains(reference)) {
        host_->gotoReference(reference);
        return true;
    }
    if (auto label = labelAt(p)) {
        host_->openLabelEditor(label);
        return true;
    }
    return false;
}

void Canvas::mouseDragged(const PointerEvent& event) {
    const Point p = event.location;
    std::visit(Overloaded{
                   [&](gesture::MoveSelection& g) { selection::dragSelection(*this, g, p); },
                   [&](gesture::MoveLabel& g) { selection::dragLabel(*this, g, p); },
                   [&](gesture::Resize& g) { resizing::drag(*this, g, p); },
                   [&](gesture::RubberBand& g) { dragRubberBand(*this, g, p); },
                   // Letting go of control freezes an arrow's target at the last one found.
                   [&](gesture::DrawArrow&) {
                       if (event.has(controlKey))
                           rightMouseDragged(event);
                   },
                   [&](gesture::Pan&) {
                       if (event.has(controlKey))
                           rightMouseDragged(event);
                   },
                   [&](gesture::AddReference& g) { adding::dragReference(*this, g, p); },
                   [&](gesture::AddLabel& g) { adding::dragLabel(*this, g, p); },
                   [](gesture::None&) {},
                   [](gesture::ShiftToggle&) {},
                   [](gesture::Nudge&) {},
               },
               gesture_);
}

void Canvas::mouseUp(const PointerEvent&) {
    // The gesture is over before its release acts, whatever that release does.
    const Gesture ended = std::exchange(gesture_, gesture::None{});
    std::visit(Overloaded{
                   [&](const gesture::MoveSelection& g) { selection::release(*this, g); },
                   [&](const gesture::Nudge& g) { endNudge(g); },
                   [&](const gesture::MoveLabel& g) { selection::release(*this, g); },
                   [&](const gesture::Resize& g) { resizing::release(*this, g); },
                   [&](const gesture::DrawArrow& g) { arrows::release(*this, g); },
                   [&](const gesture::AddReference& g) { adding::release(*this, g); },
                   [&](const gesture::AddLabel& g) { adding::release(*this, g); },
                   [](const gesture::None&) {},
                   [](const gesture::RubberBand&) {},
                   [](const gesture::ShiftToggle&) {},
                   [](const gesture::Pan&) {},
               },
               ended);
    redisplay();
    updateDetailPanel();
}

void Canvas::rightMouseDown(const PointerEvent& event) {
    finishGesture();
    gesture_ = arrows::press(*this, event.location, true);
}

void Canvas::rightMouseDragged(const PointerEvent& event) {
    if (auto* arrow = std::get_if<gesture::DrawArrow>(&gesture_))
        arrows::drag(*this, *arrow, event);
    else if (std::holds_alternative<gesture::Pan>(gesture_))
        arrows::pan(*this, event);
    else
        redisplay();
}

void Canvas::finishGesture() {
    if (gestureInProgress())
        mouseUp(PointerEvent{});
}

InteractionOverlay Canvas::interactionOverlay() const {
    InteractionOverlay overlay;
    if (const auto* band = std::get_if<gesture::RubberBand>(&gesture_))
        overlay.rubberBand = band->band;
    else if (const auto* arrow = std::get_if<gesture::DrawArrow>(&gesture_))
        overlay.arrow = ArrowInProgress{arrow->from.lock(), arrow->target.lock(), arrow->pointer};
    // Handles show on the selected boxes while nothing moves them.
    if (!std::holds_alternative<gesture::MoveSelection>(gesture_))
        overlay.resizeHandles = resizing::handleSquares(*this);
    return overlay;
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

void Canvas::deselectAll() {
    for (const auto& reference : model_.content())
        reference->selected = false;
    for (const auto& label : model_.labels)
        label->selected = false;
}

Placement Canvas::selectedPlacement() const {
    Placement placement;
    for (const auto& reference : model_.content()) {
        if (reference->selected)
            placement.references.emplace_back(reference, reference->rect);
    }
    for (const auto& label : model_.labels) {
        if (label->selected)
            placement.labels.emplace_back(label, label->rect);
    }
    return placement;
}

bool Canvas::hasSelection() const {
    return std::any_of(model_.content().begin(), model_.content().end(),
                       [](const ReferencePtr& r) { return r->selected; }) ||
           std::any_of(model_.labels.begin(), model_.labels.end(),
                       [](const LabelPtr& l) { return l->selected; });
}

void Canvas::nudge(Point step) {
    auto* run = std::get_if<gesture::Nudge>(&gesture_);
    if (!run || !(run->direction == step)) {
        finishGesture();
        if (!hasSelection())
            return;
        gesture_ = gesture::Nudge{step, selectedPlacement()};
    }
    selection::moveSelectedBy(*this, step);
}

void Canvas::endNudge(const gesture::Nudge& run) {
    Placement now;
    for (const auto& [reference, rect] : run.before.references)
        now.references.emplace_back(reference, reference->rect);
    for (const auto& [label, rect] : run.before.labels)
        now.labels.emplace_back(label, label->rect);
    if (now.references != run.before.references || now.labels != run.before.labels)
        moveItems(now, run.before);
}

bool Canvas::hasArrow(const ReferencePtr& from, const ReferencePtr& to) const {
    return std::any_of(model_.arrows.begin(), model_.arrows.end(), [&](const Arrow& arrow) {
        return arrow.first == from && arrow.second == to;
    });
}

} // namespace pathwicks
