#pragma once

#include "model/Geometry.h"
#include "model/StepsModel.h"

namespace pathwicks {

// The part of the document a canvas must span, in document units, so that all of its content
// can be scrolled to: the content's bounds (model/ContentSize), the visible area and what it
// spanned before (`current`), so that it never shrinks just because content moved.
Rect fittedCanvasArea(const StepsModel& model, const Rect& current, const Rect& visible);

} // namespace pathwicks
