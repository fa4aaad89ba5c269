#pragma once

namespace pathwicks {

class Canvas;

enum class Alignment { left, centre, right, top, middle, bottom };
enum class Distribution { horizontal, vertical };

// Lines up the selected references and labels on the selection's left edge, centre, right
// edge, top, middle or bottom. Needs two or more items; one edit (the caller groups it).
// False when there were too few to arrange.
bool align(Canvas& canvas, Alignment alignment);

// Spaces the selected items evenly between the first and the last along the direction, which
// stay where they are: equal gaps between neighbours. Needs three or more items.
bool distribute(Canvas& canvas, Distribution distribution);

} // namespace pathwicks
