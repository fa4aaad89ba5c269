#pragma once

#include "model/Geometry.h"
#include "model/StepsModel.h"

#include <optional>

namespace pathwicks {

// The size a canvas must take so that all of its content can be scrolled to: as far to the
// right and bottom as the farthest box, plus a margin as wide as the content's near margin,
// and at least the visible area. Labels count as well as references. Nothing when the canvas
// is already large enough in both directions: it never shrinks just because content moved.
std::optional<Size> fittedCanvasSize(const StepsModel& model, Size current, Size visible);

} // namespace pathwicks
