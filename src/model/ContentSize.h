#pragma once

#include "model/Geometry.h"
#include "model/StepsModel.h"

#include <optional>

namespace pathwicks {

// The margin left beyond items that reach left of or above the origin.
inline constexpr double farContentMargin = 20;

// The part of the plane a canvas needs to show all of a model's items, references and labels,
// in whole units and at least 1 by 1. On a side where every item lies at or past the origin it
// starts at the origin and reaches as far as the items plus a far margin as wide as the near
// one. On a side where an item reaches left of or above the origin it starts at the items' edge
// less farContentMargin and ends that much past their far edge. A rectangle with a NaN in it is
// skipped; a side is infinite when an item reaches without end, and an edge without end on the
// near side counts as the origin.
Rect contentBounds(const StepsModel& model);

// The size of contentBounds.
Size contentSize(const StepsModel& model);

// The smallest rectangle holding every item, or nothing when there is none with a place.
std::optional<Rect> itemBounds(const StepsModel& model);

} // namespace pathwicks
