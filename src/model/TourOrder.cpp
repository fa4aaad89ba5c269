#include "model/TourOrder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <unordered_map>
#include <utility>

namespace pathwicks {

namespace {

// A rectangle whose corner is not a number reads as lying after every other.
double coordinate(double value) {
    return std::isnan(value) ? std::numeric_limits<double>::infinity() : value;
}

} // namespace

std::vector<ReferencePtr> tourOrder(const StepsModel& model) {
    const auto& boxes = model.content();
    const size_t count = boxes.size();

    // Each box's place in reading order: top to bottom, then left to right.
    std::vector<size_t> reading(count);
    std::iota(reading.begin(), reading.end(), size_t{0});
    std::stable_sort(reading.begin(), reading.end(), [&](size_t a, size_t b) {
        const Rect& ra = boxes[a]->rect;
        const Rect& rb = boxes[b]->rect;
        return std::pair(coordinate(ra.minY()), coordinate(ra.minX())) <
               std::pair(coordinate(rb.minY()), coordinate(rb.minX()));
    });
    std::vector<size_t> rank(count);
    for (size_t i = 0; i < count; ++i)
        rank[reading[i]] = i;

    std::unordered_map<const Reference*, size_t> indexOf;
    for (size_t i = 0; i < count; ++i)
        indexOf.emplace(boxes[i].get(), i);
    std::vector<std::vector<size_t>> targets(count);
    std::vector<bool> pointedTo(count, false);
    for (const auto& [from, to] : model.arrows) {
        const auto source = indexOf.find(from.get());
        const auto target = indexOf.find(to.get());
        if (source == indexOf.end() || target == indexOf.end() ||
            source->second == target->second)
            continue;
        targets[source->second].push_back(target->second);
        pointedTo[target->second] = true;
    }
    for (auto& list : targets) {
        std::sort(list.begin(), list.end(), [&](size_t a, size_t b) { return rank[a] < rank[b]; });
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }

    std::vector<ReferencePtr> order;
    order.reserve(count);
    std::vector<bool> visited(count, false);
    // Depth first without recursion, so that a long chain cannot exhaust the stack: each entry
    // is a box and the next of its targets to look at.
    std::vector<std::pair<size_t, size_t>> path;
    auto walkFrom = [&](size_t start) {
        if (visited[start])
            return;
        visited[start] = true;
        order.push_back(boxes[start]);
        path.emplace_back(start, 0);
        while (!path.empty()) {
            auto& [box, next] = path.back();
            if (next == targets[box].size()) {
                path.pop_back();
                continue;
            }
            const size_t target = targets[box][next++];
            if (visited[target])
                continue;
            visited[target] = true;
            order.push_back(boxes[target]);
            path.emplace_back(target, 0);
        }
    };
    for (size_t box : reading)
        if (!pointedTo[box])
            walkFrom(box);
    for (size_t box : reading)
        walkFrom(box);
    return order;
}

} // namespace pathwicks
