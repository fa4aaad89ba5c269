#pragma once

#include "model/Geometry.h"
#include "model/StepsModel.h"

namespace pathwicks {

// The size a canvas needs to show all of a model's items, references and labels: as far to the
// right and down as they reach, plus a far margin as wide as the near one, in whole units
// rounded up and at least 1 by 1. Items that reach left of or above the origin leave no near
// margin on that side (it counts as 0). A rectangle with a NaN in it is skipped; a side is
// infinite when an item reaches without end.
Size contentSize(const StepsModel& model);

} // namespace pathwicks
