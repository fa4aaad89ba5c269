#pragma once

#include "model/Geometry.h"
#include "model/StepsModel.h"

#include <optional>

namespace pathwicks {

// The size a canvas must take so that all of its content can be scrolled to: the content's
// size (model/ContentSize), and at least the visible area. Nothing when the canvas is already
// large enough in both directions: it never shrinks just because content moved.
std::optional<Size> fittedCanvasSize(const StepsModel& model, Size current, Size visible);

} // namespace pathwicks
