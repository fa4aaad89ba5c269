#pragma once

#include "canvas/Gesture.h"

#include <optional>
#include <utility>
#include <vector>

namespace pathwicks {

class Canvas;
class TextMeasurer;

// Resizing selected boxes by the handles on their corners and edges.
namespace resizing {

// The edges a handle moves.
enum Edge : unsigned { left = 1, right = 2, top = 4, bottom = 8 };

// How large a handle is drawn, and how near the pointer must be, in document units.
inline constexpr double handleSize = 7;

// The handles of a box: its corners and the middles of its edges, each with the edges it moves.
std::vector<std::pair<Point, unsigned>> handlesOf(const Rect& box);
// Where each selected box shows its handles: squares of handleSize.
std::vector<Rect> handleSquares(const Canvas& canvas);

// The edges of the handle of a selected box under p, topmost box first; 0 when there is none.
unsigned edgesAt(const Canvas& canvas, Point p);

// A press on a handle: the box it belongs to is dragged by it, and every other selected box
// resizes along. Nothing when p is on no handle.
std::optional<gesture::Resize> press(Canvas& canvas, Point p);
// The dragged edges follow the pointer on the grid, as moving does; no box becomes smaller than
// the first line of its title. The other boxes' same edges move by as much.
void drag(Canvas& canvas, gesture::Resize& resize, Point p);
// The resize becomes one undo step.
void release(Canvas& canvas, const gesture::Resize& resize);

// The smallest a box may be: the first line of its title, with a little room around it.
Size leastSize(const Reference& reference, const TextMeasurer& measurer);

} // namespace resizing
} // namespace pathwicks
