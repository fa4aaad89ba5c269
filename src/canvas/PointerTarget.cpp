#include "canvas/PointerTarget.h"

#include "canvas/Canvas.h"

#include <algorithm>
#include <cmath>

namespace pathwicks {

namespace {

// How far from an arrow's line, in document units, a press still lands on it.
constexpr double arrowReach = 5;

Point centre(const Rect& r) {
    return {r.midX(), r.midY()};
}

double distanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = dx * dx + dy * dy;
    const double t =
        length > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0, 1.0) : 0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

size_t selectedCount(const Canvas& canvas) {
    const Placement selected = canvas.selectedPlacement();
    return selected.references.size() + selected.labels.size();
}

} // namespace

PointerTarget targetAt(const Canvas& canvas, Point p) {
    PointerTarget target;
    target.at = p;
    const bool several = selectedCount(canvas) > 1;
    if ((target.reference = canvas.referenceAt(p))) {
        target.place = several && target.reference->selected ? onSelection : onBox;
        return target;
    }
    if ((target.label = canvas.labelAt(p))) {
        target.place = several && target.label->selected ? onSelection : onLabel;
        return target;
    }
    // Arrows run between the boxes' middles; the last drawn is on top.
    const auto& arrows = canvas.model().arrows;
    for (auto arrow = arrows.rbegin(); arrow != arrows.rend(); ++arrow) {
        if (distanceToSegment(p, centre(arrow->first->rect), centre(arrow->second->rect)) <=
            arrowReach) {
            target.place = onArrow;
            target.arrow = *arrow;
            return target;
        }
    }
    return target;
}

void selectTarget(Canvas& canvas, const PointerTarget& target) {
    if (target.place != onBox && target.place != onLabel)
        return;
    canvas.deselectAll();
    if (target.reference) {
        target.reference->selected = true;
        canvas.setPressedReference(target.reference);
    }
    if (target.label)
        target.label->selected = true;
    canvas.redisplay();
    canvas.updateDetailPanel();
}

} // namespace pathwicks
