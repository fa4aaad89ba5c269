#pragma once

#include "canvas/InteractionState.h"
#include "model/Geometry.h"
#include "model/Reference.h"

#include <memory>

namespace pathwicks {

// The canvas fields that drawing reads, and the one it writes (addRect).
struct CanvasDrawState {
    InteractionState interactionState = InteractionState::none;
    // The rubber band, drawn only while the state is canvasBegan.
    Rect selectRect;
    // The reference an arrow is dragged out from, and the one under the pointer.
    std::weak_ptr<Reference> mouseDownRef;
    std::weak_ptr<Reference> mouseDragRef;
    Point mouseLocation;
    // The add button's square, rewritten by every draw inside a scroll view.
    Rect addRect;
};

} // namespace pathwicks
