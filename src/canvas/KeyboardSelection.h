#pragma once

#include "canvas/Find.h"

#include <optional>

namespace pathwicks {

class Canvas;

// Tab and Shift+Tab: selects the box or label after the selection in reading order
// (model/ReadingOrder), or before it when backwards, wrapping around; without a selection,
// the first (or the last). Gives the item selected, nothing when the canvas is empty.
std::optional<FoundItem> selectNextItem(Canvas& canvas, bool backwards);

// Connects the selected boxes with arrows in reading order, each to the next, leaving arrows
// already there; gives how many it added. The caller makes it one undo step.
size_t connectInReadingOrder(Canvas& canvas);

} // namespace pathwicks
