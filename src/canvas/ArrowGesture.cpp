#include "canvas/ArrowGesture.h"

#include "canvas/Canvas.h"

namespace pathwicks::arrows {

void press(Canvas& canvas, Point p, bool rightButton) {
    CanvasDrawState& state = canvas.drawState;
    if (auto previous = state.mouseDownRef.lock())
        previous->selected = false;
    auto reference = canvas.referenceAt(p);
    state.mouseDownRef = reference;
    if (reference)
        reference->selected = true;
    state.mouseDragRef = rightButton ? nullptr : reference;
    canvas.redisplay();

    if (reference) {
        state.interactionState = InteractionState::controlReferenceBegan;
        state.mouseLocation = p;
    } else {
        state.interactionState = InteractionState::controlCanvasBegan;
    }
}

void drag(Canvas& canvas, const PointerEvent& event) {
    CanvasDrawState& state = canvas.drawState;
    state.mouseLocation = event.location;
    if (state.interactionState == InteractionState::controlReferenceBegan)
        state.mouseDragRef = canvas.referenceAt(event.location);
    else if (state.interactionState == InteractionState::controlCanvasBegan)
        canvas.host().panBy(event.delta);
    canvas.redisplay();
}

void toggleOnRelease(Canvas& canvas) {
    auto from = canvas.drawState.mouseDownRef.lock();
    auto to = canvas.drawState.mouseDragRef.lock();
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
