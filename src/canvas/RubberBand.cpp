#include "canvas/RubberBand.h"

#include "canvas/Canvas.h"

#include <algorithm>
#include <cmath>

namespace pathwicks {

void dragRubberBand(Canvas& canvas, Point p) {
    const Point anchor = canvas.drawState.mouseLocation;
    const Rect band{std::min(anchor.x, p.x), std::min(anchor.y, p.y), std::abs(p.x - anchor.x),
                    std::abs(p.y - anchor.y)};
    canvas.drawState.selectRect = band;
    for (const auto& reference : canvas.model().content())
        reference->selected = band.intersects(reference->rect);
    // After a shift press: what the band covers toggles against the selection of the press.
    for (const auto& reference : canvas.savedSelected)
        reference->selected = !reference->selected;
    canvas.redisplay();
}

} // namespace pathwicks
