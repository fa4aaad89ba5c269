#pragma once

#include "model/Geometry.h"

namespace pathwicks {

class Canvas;

// The rectangle spanned by the press and p selects what it touches; after a shift press it
// toggles against the selection of the press.
void dragRubberBand(Canvas& canvas, Point p);

} // namespace pathwicks
