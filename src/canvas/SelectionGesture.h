#pragma once

#include "canvas/Gesture.h"

namespace pathwicks {

class Canvas;

// Plain and shift presses: selecting references, and moving them and labels by dragging.
namespace selection {

// Shift press: toggles the reference under p; on empty canvas it starts a rubber band that
// toggles against the selection that results.
Gesture shiftPress(Canvas& canvas, Point p);
// Plain press outside the add button: on a reference, a label or empty canvas.
Gesture plainPress(Canvas& canvas, Point p);

// The pressed reference follows the pointer on the grid; the other selected ones keep their
// places relative to it.
void dragReferences(Canvas& canvas, gesture::MoveReferences& move, Point p);
void dragLabel(Canvas& canvas, gesture::MoveLabel& move, Point p);
// A move becomes one undo step; a release without a drag on a reference that was selected
// leaves it the only one selected, and on a label records a move all the same.
void release(Canvas& canvas, const gesture::MoveReferences& move);
void release(Canvas& canvas, const gesture::MoveLabel& move);

// What the drags above and those of new items do: `dragged` takes the place p minus offset,
// snapped to the grid, and the other selected references move by as much.
void referencesFollow(Canvas& canvas, const ReferencePtr& dragged, Point offset, Point p);
// The label takes the place p minus offset, unsnapped.
void labelFollows(Canvas& canvas, const LabelPtr& label, Point offset, Point p);

} // namespace selection
} // namespace pathwicks
