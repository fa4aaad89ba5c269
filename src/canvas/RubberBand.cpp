#include "canvas/RubberBand.h"

#include "canvas/Canvas.h"

#include <algorithm>
#include <cmath>

namespace pathwicks {

void dragRubberBand(Canvas& canvas, gesture::RubberBand& rubberBand, Point p) {
    const Point anchor = rubberBand.anchor;
    const Rect band{std::min(anchor.x, p.x), std::min(anchor.y, p.y), std::abs(p.x - anchor.x),
                    std::abs(p.y - anchor.y)};
    rubberBand.band = band;
    for (const auto& reference : canvas.model().content())
        reference->selected = band.intersects(reference->rect);
    for (const auto& label : canvas.model().labels)
        label->selected = band.intersects(label->rect);
    for (const auto& reference : rubberBand.toggleAgainst)
        reference->selected = !reference->selected;
    for (const auto& label : rubberBand.labelsToggleAgainst)
        label->selected = !label->selected;
    canvas.redisplay();
}

} // namespace pathwicks
