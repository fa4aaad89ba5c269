#pragma once

#include "canvas/Gesture.h"

namespace pathwicks {

class Canvas;

// Plain and shift presses: selecting references, and moving them and labels by dragging.
namespace selection {

// Shift press: toggles the reference or label under p; on empty canvas it starts a rubber band
// that toggles against the selection that results.
Gesture shiftPress(Canvas& canvas, Point p);
// Plain press outside the add button: on a reference, a label or empty canvas.
Gesture plainPress(Canvas& canvas, Point p);

// The pressed item follows the pointer (a box on the grid); the other selected items keep their
// places relative to it.
void dragSelection(Canvas& canvas, gesture::MoveSelection& move, Point p);
void dragLabel(Canvas& canvas, gesture::MoveLabel& move, Point p);
// A move becomes one undo step; a release without a drag on an item that was selected leaves
// it the only one selected, and on a lone label records a move all the same.
void release(Canvas& canvas, const gesture::MoveSelection& move);
void release(Canvas& canvas, const gesture::MoveLabel& move);

// Every selected reference and label moves by delta, held at the canvas's near edges and the
// farthest coordinate a document holds. Not recorded: the caller records the whole move.
void moveSelectedBy(Canvas& canvas, Point delta);
// What the drags above and those of new items do: `dragged` takes the place p minus offset,
// snapped to the grid, and the other selected items move by as much.
void referencesFollow(Canvas& canvas, const ReferencePtr& dragged, Point offset, Point p);
// The label takes the place p minus offset, unsnapped.
void labelFollows(Canvas& canvas, const LabelPtr& label, Point offset, Point p);

} // namespace selection
} // namespace pathwicks
