#pragma once

#include "model/StepsModel.h"

#include <vector>

namespace pathwicks {

// The order in which a walkthrough is read, one stop per box (labels are no stops), each box
// once: from the boxes no arrow points to, the topmost first (then the leftmost), follow each
// box's arrows depth first to boxes not yet visited, the targets taken top to bottom, then left
// to right; boxes not reached so follow in that reading order, each starting a walk of its own.
// Positions compare in reading order (model/ReadingOrder: the top-left corner of the box as
// drawn); equal corners keep the content's order. Arrows from a box to itself lead nowhere.
std::vector<ReferencePtr> tourOrder(const StepsModel& model);

} // namespace pathwicks
