#pragma once

#include "model/Geometry.h"

#include <optional>
#include <vector>

namespace pathwicks {

// A screen as window placement sees it: its whole area, and the part windows may use (less
// panels and docks). Both in whole points.
struct ScreenArea {
    Rect geometry;
    Rect available;
};

// Where a window frame goes. A saved frame with an area keeps its place on the screen its
// centre lies on, moved just enough to lie wholly on that screen's usable part (its top left
// always), and sized between `minimum` and that part. A frame that lies on no usable part is
// centred on it, keeping its size; no frame, or one without area, gives a window of
// `fallback` size centred on the first screen. Coordinates are rounded to whole points first.
Rect placeFrame(const std::optional<Rect>& saved, const std::vector<ScreenArea>& screens,
                Size minimum, Size fallback);

} // namespace pathwicks
