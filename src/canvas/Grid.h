#pragma once

#include "model/Geometry.h"
#include "model/RectText.h"

#include <algorithm>
#include <cmath>

namespace pathwicks {

inline constexpr double gridStep = 10;

// Truncates toward zero onto the 10-point grid: 27 gives 20, -27 gives -20. Adding 0 turns
// the -0 of small negative values into 0, which is how documents should read.
inline double snapToGrid(double c) {
    return std::trunc(c / gridStep) * gridStep + 0.0;
}
inline Point snapToGrid(Point p) {
    return {snapToGrid(p.x), snapToGrid(p.y)};
}

// Items are never put left of or above the canvas, where nothing could scroll to them, nor
// farther than a document can hold.
inline Point keepOnCanvas(Point p) {
    return {std::clamp(p.x, 0.0, coordinateLimit), std::clamp(p.y, 0.0, coordinateLimit)};
}

} // namespace pathwicks
