#include "canvas/CanvasFit.h"

#include "model/ContentSize.h"

#include <algorithm>
#include <cmath>

namespace pathwicks {

namespace {

// Rectangles without area or with an edge of no number add nothing.
bool counts(const Rect& r) {
    return r.width > 0 && r.height > 0 && !std::isnan(r.x) && !std::isnan(r.y) &&
           !std::isnan(r.width) && !std::isnan(r.height);
}

} // namespace

Rect fittedCanvasArea(const StepsModel& model, const Rect& current, const Rect& visible) {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    // The content's bounds are whole already; the visible area is taken as it is, so that a
    // canvas no larger than the view gets no scroll bars.
    for (const Rect& r : {contentBounds(model), current, visible}) {
        if (!counts(r))
            continue;
        minX = std::min(minX, r.minX());
        minY = std::min(minY, r.minY());
        maxX = std::max(maxX, r.maxX());
        maxY = std::max(maxY, r.maxY());
    }
    return {minX, minY, maxX - minX, maxY - minY};
}

} // namespace pathwicks
