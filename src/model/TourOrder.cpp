#include "model/TourOrder.h"

#include "model/ReadingOrder.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>
#include <utility>

namespace pathwicks {

namespace {

// The boxes' positions in the content, in reading order.
std::vector<size_t> readingOrderOf(const std::vector<ReferencePtr>& boxes) {
    std::vector<size_t> reading(boxes.size());
    std::iota(reading.begin(), reading.end(), size_t{0});
    sortInReadingOrder(reading, [&](size_t box) -> const Rect& { return boxes[box]->rect; });
    return reading;
}

// Each box's arrows to other boxes, by position in the content, the targets in reading order,
// and whether any arrow points to it.
struct Arrows {
    std::vector<std::vector<size_t>> targets;
    std::vector<bool> pointedTo;
};

Arrows arrowsOf(const StepsModel& model, const std::vector<size_t>& reading) {
    const auto& boxes = model.content();
    const size_t count = boxes.size();
    std::vector<size_t> rank(count);
    for (size_t i = 0; i < count; ++i)
        rank[reading[i]] = i;
    std::unordered_map<const Reference*, size_t> indexOf;
    for (size_t i = 0; i < count; ++i)
        indexOf.emplace(boxes[i].get(), i);

    Arrows arrows{std::vector<std::vector<size_t>>(count), std::vector<bool>(count, false)};
    for (const auto& [from, to] : model.arrows) {
        const auto source = indexOf.find(from.get());
        const auto target = indexOf.find(to.get());
        if (source == indexOf.end() || target == indexOf.end() ||
            source->second == target->second)
            continue;
        arrows.targets[source->second].push_back(target->second);
        arrows.pointedTo[target->second] = true;
    }
    for (auto& list : arrows.targets) {
        std::sort(list.begin(), list.end(), [&](size_t a, size_t b) { return rank[a] < rank[b]; });
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    return arrows;
}

// Walks depth first along the arrows, each box once, collecting the boxes as it reaches them.
class Walk {
public:
    Walk(const std::vector<ReferencePtr>& boxes, const std::vector<std::vector<size_t>>& targets)
        : boxes_(boxes), targets_(targets), visited_(boxes.size(), false) {
        order.reserve(boxes.size());
    }

    // Without recursion, so that a long chain cannot exhaust the stack: each entry of the path
    // is a box and the next of its targets to look at.
    void from(size_t start) {
        if (!reach(start))
            return;
        while (!path_.empty()) {
            auto& [box, next] = path_.back();
            if (next == targets_[box].size())
                path_.pop_back();
            else
                reach(targets_[box][next++]);
        }
    }

    std::vector<ReferencePtr> order;

private:
    bool reach(size_t box) {
        if (visited_[box])
            return false;
        visited_[box] = true;
        order.push_back(boxes_[box]);
        path_.emplace_back(box, 0);
        return true;
    }

    const std::vector<ReferencePtr>& boxes_;
    const std::vector<std::vector<size_t>>& targets_;
    std::vector<bool> visited_;
    std::vector<std::pair<size_t, size_t>> path_;
};

} // namespace

std::vector<ReferencePtr> tourOrder(const StepsModel& model) {
    const auto& boxes = model.content();
    const std::vector<size_t> reading = readingOrderOf(boxes);
    const Arrows arrows = arrowsOf(model, reading);
    Walk walk(boxes, arrows.targets);
    for (size_t box : reading)
        if (!arrows.pointedTo[box])
            walk.from(box);
    for (size_t box : reading)
        walk.from(box);
    return std::move(walk.order);
}

} // namespace pathwicks
