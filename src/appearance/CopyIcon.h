#pragma once

#include "appearance/DrawList.h"

namespace pathwicks {

inline constexpr double copyIconSize = 44;

// The copy button's picture, 44 by 44 with y downward: a white tile with two overlapping
// outlined squares, the front one down and to the left with a white margin cut around it.
DrawList copyIcon();

} // namespace pathwicks
