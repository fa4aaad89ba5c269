#pragma once

#include "canvas/Gesture.h"

namespace pathwicks {

class Canvas;

// New references and labels, dragged out of the add button or inserted from the menu.
namespace adding {

inline constexpr Size newReferenceSize{100, 50};
inline constexpr const char* newLabelTitle = "New Label";

// The first drag after a press on the add button makes the new item centred under p; it
// follows the later drags.
void dragReference(Canvas& canvas, gesture::AddReference& add, Point p);
void dragLabel(Canvas& canvas, gesture::AddLabel& add, Point p);
// The release: the addition becomes one undo step.
void release(Canvas& canvas, const gesture::AddReference& add);
void release(Canvas& canvas, const gesture::AddLabel& add);

// The same without a gesture: the new item is centred on p, or moved down from there to the
// first free place (canvas/FreeSpace), selected and recorded at once; either opens for typing
// its title.
void insertReference(Canvas& canvas, Point p);
void insertLabel(Canvas& canvas, Point p);

} // namespace adding
} // namespace pathwicks
