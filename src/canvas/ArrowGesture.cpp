#include "canvas/ArrowGesture.h"

#include "canvas/Canvas.h"

namespace pathwicks::arrows {

Gesture press(Canvas& canvas, Point p, bool rightButton) {
    if (auto previous = canvas.pressedReference())
        previous->selected = false;
    auto reference = canvas.referenceAt(p);
    canvas.setPressedReference(reference);
    if (reference)
        reference->selected = true;
    canvas.redisplay();
    if (!reference)
        return gesture::Pan{};
    // With control the target starts as the pressed reference itself, which adds nothing.
    return gesture::DrawArrow{reference, rightButton ? nullptr : reference, p};
}

void drag(Canvas& canvas, gesture::DrawArrow& arrow, const PointerEvent& event) {
    arrow.pointer = event.location;
    arrow.target = canvas.referenceAt(event.location);
    canvas.redisplay();
}

void pan(Canvas& canvas, const PointerEvent& event) {
    canvas.host().panBy(event.delta);
    canvas.redisplay();
}

void release(Canvas& canvas, const gesture::DrawArrow& arrow) {
    auto from = arrow.from.lock();
    auto to = arrow.target.lock();
    if (!from || !to || from == to)
        return;
    // An end taken out of the document during the gesture (by a key command) may live on in the
    // undo history, but an arrow to it would point at nothing on the canvas.
    if (!canvas.contains(from) || !canvas.contains(to))
        return;
    if (canvas.hasArrow(from, to))
        canvas.removeArrow(from, to);
    else
        canvas.addArrow(from, to);
}

} // namespace pathwicks::arrows
