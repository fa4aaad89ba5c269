#pragma once

#include "model/Label.h"
#include "model/Reference.h"
#include "model/StepsModel.h"

#include <optional>

namespace pathwicks {

class Canvas;

// Where a context menu was asked for; a command lists the places it applies to as a set of
// these.
enum ContextPlace : unsigned {
    onBox = 1,
    onLabel = 2,
    onArrow = 4,
    onSelection = 8, // several selected items, one of them under the pointer
    onCanvas = 16,
};

// What lies under the pointer, topmost first: a box, then a label, then an arrow.
struct PointerTarget {
    ContextPlace place = onCanvas;
    ReferencePtr reference;
    LabelPtr label;
    std::optional<Arrow> arrow;
    Point at; // where it was asked for
};

PointerTarget targetAt(const Canvas& canvas, Point p);

// Makes the selection fit the target, as a click would: a box or a label not already selected
// alone becomes the only item selected; a selection, an arrow and the canvas leave it as it is.
void selectTarget(Canvas& canvas, const PointerTarget& target);

} // namespace pathwicks
