#pragma once

#include "canvas/Gesture.h"
#include "canvas/PointerEvent.h"

namespace pathwicks {

class Canvas;

// Right button, or left with control: an arrow drawn from one reference to another, or the
// view panned when the press was on empty canvas.
namespace arrows {

// Selects the reference under the press instead of the one of the previous press, and starts
// an arrow from it, or panning.
Gesture press(Canvas& canvas, Point p, bool rightButton);
// The arrow follows the pointer, and ends at the reference under it.
void drag(Canvas& canvas, gesture::DrawArrow& arrow, const PointerEvent& event);
void pan(Canvas& canvas, const PointerEvent& event);
// Adds the arrow from the pressed reference to the one released over, or removes it when it
// exists.
void release(Canvas& canvas, const gesture::DrawArrow& arrow);

} // namespace arrows
} // namespace pathwicks
