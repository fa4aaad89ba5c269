#pragma once

#include "model/Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace pathwicks {

// The order a canvas is read in, for the tour, Find and Next Problem alike: by the top-left
// corner of the rectangle as drawn (whatever the sign of its width and height), top to bottom,
// then left to right. A corner that is not a number reads after every other.
inline std::pair<double, double> readingCorner(const Rect& rect) {
    const auto coordinate = [](double value) {
        return std::isnan(value) ? std::numeric_limits<double>::infinity() : value;
    };
    return {coordinate(rect.minY()), coordinate(rect.minX())};
}

inline bool readsBefore(const Rect& a, const Rect& b) {
    return readingCorner(a) < readingCorner(b);
}

// Sorts items into reading order by the rectangle rectOf gives each; items at the same corner
// keep their order.
template <typename Item, typename RectOf>
void sortInReadingOrder(std::vector<Item>& items, RectOf rectOf) {
    std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        return readsBefore(rectOf(a), rectOf(b));
    });
}

// The place after `current` in a list of count items in reading order, or before it when
// backwards, wrapping around; without a current place, the first (backwards, the last).
// Nothing when there are no items.
inline std::optional<size_t> steppedIndex(size_t count, std::optional<size_t> current,
                                          bool backwards) {
    if (count == 0)
        return std::nullopt;
    if (!current || *current >= count)
        return backwards ? count - 1 : 0;
    return backwards ? (*current + count - 1) % count : (*current + 1) % count;
}

} // namespace pathwicks
