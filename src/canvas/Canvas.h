#pragma once

#include "canvas/CanvasDrawState.h"
#include "model/StepsModel.h"

namespace pathwicks {

// One document's canvas: the model it owns for its whole life, and the interaction fields that
// gestures change and drawing reads.
class Canvas {
public:
    StepsModel model;
    CanvasDrawState drawState;

    // Run just before each undo and redo of the canvas's window, so that whatever is in
    // progress is finished first.
    void willUndo() {}
    void willRedo() {}
};

} // namespace pathwicks
