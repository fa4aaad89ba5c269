#pragma once

#include "model/Geometry.h"

namespace pathwicks {

class Canvas;

// Plain and shift presses: selecting references, and moving them and labels by dragging.
namespace selection {

// Shift press: toggles the reference under p and remembers the selection that results.
void shiftPress(Canvas& canvas, Point p);
// Plain press outside the add button: on a reference, a label or empty canvas.
void plainPress(Canvas& canvas, Point p);
// The pressed reference follows the pointer on the grid; the other selected ones keep their
// places relative to it.
void moveReferences(Canvas& canvas, Point p);
// The pressed or new label follows the pointer.
void labelFollows(Canvas& canvas, Point p);

// Releases.
void narrowToPressedReference(Canvas& canvas);
void commitReferenceMove(Canvas& canvas);
void commitLabelMove(Canvas& canvas);

} // namespace selection
} // namespace pathwicks
