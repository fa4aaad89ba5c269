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

// What a window system draws around a window's inside, in whole points.
struct Decoration {
    double left = 0, top = 0, right = 0, bottom = 0;
};

// Where a window's inside goes. A saved frame with an area keeps its place on the screen its
// centre lies on, moved just enough to lie wholly on that screen's usable part (its top left
// always), and sized between `minimum` and that part. A frame that lies on no usable part is
// centred on it, keeping its size; no frame, or one without area, gives a window of
// `fallback` size centred on the first screen. The decoration around the frame is kept on the
// usable part too (a title bar never above it, the status bar never below it). Coordinates are
// rounded to whole points first.
Rect placeFrame(const std::optional<Rect>& saved, const std::vector<ScreenArea>& screens,
                Size minimum, Size fallback, Decoration decoration = {});

} // namespace pathwicks
