#pragma once

#include "model/Geometry.h"
#include "model/Reference.h"

#include <optional>
#include <vector>

namespace pathwicks {

// An arrow being drawn from a reference: to the pointer, or to the reference under it.
struct ArrowInProgress {
    ReferencePtr from;
    ReferencePtr target; // none: the arrow ends at the pointer
    Point pointer;
};

// What the drawing shows of the gesture in progress, on top of the document.
struct InteractionOverlay {
    std::optional<Rect> rubberBand;
    std::optional<ArrowInProgress> arrow;
    // The squares of the resize handles on the selected boxes.
    std::vector<Rect> resizeHandles;
};

} // namespace pathwicks
