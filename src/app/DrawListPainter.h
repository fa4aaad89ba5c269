#pragma once

#include "app/QtTextMeasurer.h"
#include "appearance/DrawList.h"

class QPainter;

namespace pathwicks {

// Replays a drawing list with QPainter, antialiased, in the painter's current coordinates.
void paintDrawList(QPainter& painter, const DrawList& list, const QtTextMeasurer& fonts);

} // namespace pathwicks
