#pragma once

#include "canvas/Gesture.h"

namespace pathwicks {

class Canvas;

// The rectangle spanned by the press and p selects the references and labels it touches; after a
// shift press it toggles against the selection of the press.
void dragRubberBand(Canvas& canvas, gesture::RubberBand& rubberBand, Point p);

} // namespace pathwicks
