#pragma once

#include "appearance/AppearanceConfig.h"
#include "appearance/DrawList.h"
#include "appearance/LayoutMeasurer.h"
#include "model/MarkerStates.h"

namespace pathwicks {

// How a box whose marker was not found exactly once is marked, in shape as well as colour: a
// dashed frame just outside its border, and a badge on its top right corner holding "!" when
// the marker is missing, or the number of places when it is duplicated. Far out (below
// `badgeOnlyScale` view pixels per point) the badge alone, without its text, marks the box.
void appendMarkerMark(DrawList& list, const Rect& box, MarkerState state, size_t places,
                      const AppearanceConfig& config, const LayoutMeasurer& measurer,
                      double scale = 1);
inline constexpr double badgeOnlyScale = 0.3;

// Everything the mark of a box can cover.
Rect markerMarkExtent(const Rect& box);

} // namespace pathwicks
