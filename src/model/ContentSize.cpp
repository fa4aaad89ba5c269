#include "model/ContentSize.h"

#include <algorithm>
#include <cmath>

namespace pathwicks {

namespace {

struct Reach {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
};

Reach reachOf(const StepsModel& model) {
    Reach reach;
    // The running value comes first, so that an edge that works out as NaN (an infinite
    // position with an infinite extent the other way) never replaces it.
    auto take = [&](const Rect& r) {
        if (std::isnan(r.x) || std::isnan(r.y) || std::isnan(r.width) || std::isnan(r.height))
            return;
        reach.minX = std::min(reach.minX, r.minX());
        reach.minY = std::min(reach.minY, r.minY());
        reach.maxX = std::max(reach.maxX, r.maxX());
        reach.maxY = std::max(reach.maxY, r.maxY());
    };
    for (const auto& reference : model.content())
        take(reference->rect);
    for (const auto& label : model.labels)
        take(label->rect);
    return reach;
}

// One side from the items' near and far edges, as its start and length: infinite edges come
// from no items (-infinity far) or an item without end.
std::pair<double, double> side(double nearEdge, double farEdge) {
    if (!std::isfinite(farEdge))
        return {0, std::isinf(farEdge) && farEdge > 0 ? farEdge : 1.0};
    if (std::isfinite(nearEdge) && nearEdge < 0) {
        const double start = std::floor(nearEdge - farContentMargin);
        return {start, std::max(1.0, std::ceil(farEdge + farContentMargin) - start)};
    }
    const double nearMargin = std::isfinite(nearEdge) ? nearEdge : 0.0;
    return {0, std::max(1.0, std::ceil(nearMargin + farEdge))};
}

} // namespace

Rect contentBounds(const StepsModel& model) {
    const Reach reach = reachOf(model);
    const auto [x, width] = side(reach.minX, reach.maxX);
    const auto [y, height] = side(reach.minY, reach.maxY);
    return {x, y, width, height};
}

Size contentSize(const StepsModel& model) {
    const Rect bounds = contentBounds(model);
    return {bounds.width, bounds.height};
}

std::optional<Rect> itemBounds(const StepsModel& model) {
    const Reach reach = reachOf(model);
    if (!std::isfinite(reach.minX) || !std::isfinite(reach.minY) || !std::isfinite(reach.maxX) ||
        !std::isfinite(reach.maxY))
        return std::nullopt;
    return Rect{reach.minX, reach.minY, reach.maxX - reach.minX, reach.maxY - reach.minY};
}

} // namespace pathwicks
