#include "model/ContentSize.h"

#include <algorithm>
#include <cmath>

namespace pathwicks {

namespace {

// One side from the items' near and far edges: infinite ones come from no items (-infinity)
// or an item without end (+infinity).
double side(double nearEdge, double farEdge) {
    if (!std::isfinite(farEdge))
        return std::isinf(farEdge) && farEdge > 0 ? farEdge : 1.0;
    return std::max(1.0, std::ceil(std::max(0.0, nearEdge) + farEdge));
}

} // namespace

Size contentSize(const StepsModel& model) {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    // The running value comes first, so that an edge that works out as NaN (an infinite
    // position with an infinite extent the other way) never replaces it.
    auto take = [&](const Rect& r) {
        if (std::isnan(r.x) || std::isnan(r.y) || std::isnan(r.width) || std::isnan(r.height))
            return;
        minX = std::min(minX, r.minX());
        minY = std::min(minY, r.minY());
        maxX = std::max(maxX, r.maxX());
        maxY = std::max(maxY, r.maxY());
    };
    for (const auto& reference : model.content())
        take(reference->rect);
    for (const auto& label : model.labels)
        take(label->rect);
    return {side(minX, maxX), side(minY, maxY)};
}

} // namespace pathwicks
