#pragma once

#include "app/QtTextMeasurer.h"
#include "appearance/DrawList.h"

#include <functional>

class QPainter;

namespace pathwicks {

// Replays a drawing list with QPainter, antialiased, in the painter's current coordinates.
void paintDrawList(QPainter& painter, const DrawList& list, const QtTextMeasurer& fonts);

// Draws the list for an area, in the painter's current coordinates, measuring with `fonts`.
using DrawArea = std::function<DrawList(const Rect& area, const QtTextMeasurer& fonts)>;

// Paints the list `draw` gives for `area`. Where a frame is painted in bands, each band's list
// is drawn for its part of the area alone, on the thread that paints the band, with its fonts.
void paintDrawn(QPainter& painter, const Rect& area, const DrawArea& draw,
                const QtTextMeasurer& fonts);

} // namespace pathwicks
