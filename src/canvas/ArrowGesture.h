#pragma once

#include "canvas/PointerEvent.h"

namespace pathwicks {

class Canvas;

// Right button, or left with control: an arrow drawn from one reference to another, or the
// view panned when the press was on empty canvas.
namespace arrows {

// Selects the reference under the press instead of the one of the previous press, and starts
// an arrow from it, or panning.
void press(Canvas& canvas, Point p, bool rightButton);
void drag(Canvas& canvas, const PointerEvent& event);
// Adds the arrow from the pressed reference to the one released over, or removes it when it
// exists.
void toggleOnRelease(Canvas& canvas);

} // namespace arrows
} // namespace pathwicks
