#include "canvas/FreeSpace.h"

#include "canvas/Grid.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pathwicks {

Rect freePlaceBelow(const StepsModel& model, Rect wanted) {
    constexpr double gap = gridStep;
    // Only what shares some of the new item's columns can be in its way.
    std::vector<Rect> inTheWay;
    auto take = [&](const Rect& r) {
        if (r.minX() - gap < wanted.maxX() && wanted.minX() < r.maxX() + gap &&
            std::isfinite(r.minY()) && std::isfinite(r.maxY()))
            inTheWay.push_back(r);
    };
    for (const auto& reference : model.content())
        take(reference->rect);
    for (const auto& label : model.labels)
        take(label->rect);
    std::sort(inTheWay.begin(), inTheWay.end(),
              [](const Rect& a, const Rect& b) { return a.minY() < b.minY(); });

    // Top to bottom: each item met pushes the new one below it. Once an item starts below the
    // new one, so does every later one.
    double y = wanted.y;
    const double height = std::abs(wanted.height);
    for (const Rect& r : inTheWay) {
        if (r.maxY() + gap <= y)
            continue;
        if (r.minY() - gap >= y + height)
            break;
        y = std::ceil((r.maxY() + gap) / gridStep) * gridStep;
    }
    wanted.y = std::min(y, coordinateLimit);
    return wanted;
}

} // namespace pathwicks
