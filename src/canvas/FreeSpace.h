#pragma once

#include "model/Geometry.h"
#include "model/StepsModel.h"

namespace pathwicks {

// Where a new item of `wanted`'s size lands: at `wanted`, or moved straight down to the first
// place, on the grid, where it keeps a grid step clear of every reference and label.
Rect freePlaceBelow(const StepsModel& model, Rect wanted);

} // namespace pathwicks
