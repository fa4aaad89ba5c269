#pragma once

#include "model/Geometry.h"

namespace pathwicks {

class Canvas;

// New references and labels, dragged out of the add button or inserted from the menu.
namespace adding {

inline constexpr Size newReferenceSize{100, 50};
inline constexpr const char* newLabelTitle = "New Label";

// The first drag after a press on the add button: the new item appears centred under p.
void addReferenceAt(Canvas& canvas, Point p);
void addLabelAt(Canvas& canvas, Point p);
// The release: the addition becomes one undo step.
void commitAddedReference(Canvas& canvas);
void commitAddedLabel(Canvas& canvas);

// The same without a gesture: the new item is centred on p, selected (a reference) and
// recorded at once.
void insertReference(Canvas& canvas, Point p);
void insertLabel(Canvas& canvas, Point p);

} // namespace adding
} // namespace pathwicks
