#include "appearance/DrawingIndex.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

namespace pathwicks {

namespace {

// An item covering more cells than this is simply always drawn.
constexpr double mostCells = 256;

bool isFinite(const Rect& r) {
    return std::isfinite(r.minX()) && std::isfinite(r.minY()) && std::isfinite(r.maxX()) &&
           std::isfinite(r.maxY());
}

Point centre(const Rect& r) {
    return {r.x + r.width * 0.5, r.y + r.height * 0.5};
}

} // namespace

DrawingIndex::DrawingIndex(const StepsModel& model, double reach)
    : labels_(model.labels), arrows_(model.arrows), references_(model.content()) {
    places_.resize(labels_.size() + arrows_.size() + references_.size());
    uint32_t ordinal = 0;
    for (const LabelPtr& label : labels_) {
        if (label)
            fileItem(ordinal, label->rect, label->selected);
        ++ordinal;
    }
    for (const auto& [source, target] : arrows_) {
        if (source && target) {
            if (source->selected || target->selected) {
                everywhere_.push_back(ordinal);
            } else {
                const Point from = centre(source->rect);
                const Point to = centre(target->rect);
                places_[ordinal] = Rect{from.x, from.y, to.x, to.y};
                fileSegment(ordinal, from, to, reach);
            }
        }
        ++ordinal;
    }
    for (const ReferencePtr& reference : references_) {
        if (reference)
            fileItem(ordinal, reference->rect, reference->selected);
        ++ordinal;
    }
    findRepeatedArrows();
}

void DrawingIndex::findRepeatedArrows() {
    using Key = std::tuple<const Reference*, const Reference*, size_t>;
    std::vector<Key> keys;
    keys.reserve(arrows_.size());
    for (size_t k = 0; k < arrows_.size(); ++k)
        keys.emplace_back(arrows_[k].first.get(), arrows_[k].second.get(), k);
    std::sort(keys.begin(), keys.end());
    repeatedArrows_.assign(arrows_.size(), false);
    for (size_t k = 1; k < keys.size(); ++k) {
        const auto& [source, target, at] = keys[k];
        if (source == std::get<0>(keys[k - 1]) && target == std::get<1>(keys[k - 1]))
            repeatedArrows_[at] = true;
    }
}

void DrawingIndex::fileItem(uint32_t ordinal, const Rect& area, bool selected) {
    if (selected) {
        everywhere_.push_back(ordinal);
        return;
    }
    places_[ordinal] = area;
    file(ordinal, area);
}

DrawingIndex::Cell DrawingIndex::cellKey(int64_t column, int64_t row) {
    return (uint64_t(uint32_t(int32_t(column))) << 32) | uint32_t(int32_t(row));
}

void DrawingIndex::file(uint32_t ordinal, const Rect& area) {
    // A pixel of room for antialiasing and the line widths around the rectangle.
    constexpr double room = 4;
    if (!isFinite(area)) {
        everywhere_.push_back(ordinal);
        return;
    }
    const double left = std::floor((area.minX() - room) / cellSize);
    const double right = std::floor((area.maxX() + room) / cellSize);
    const double top = std::floor((area.minY() - room) / cellSize);
    const double bottom = std::floor((area.maxY() + room) / cellSize);
    if ((right - left + 1) * (bottom - top + 1) > mostCells || std::abs(left) > 1e9 ||
        std::abs(right) > 1e9 || std::abs(top) > 1e9 || std::abs(bottom) > 1e9) {
        everywhere_.push_back(ordinal);
        return;
    }
    for (auto column = int64_t(left); column <= int64_t(right); ++column) {
        for (auto row = int64_t(top); row <= int64_t(bottom); ++row) {
            auto& cell = cells_[cellKey(column, row)];
            if (cell.empty() || cell.back() != ordinal)
                cell.push_back(ordinal);
        }
    }
}

void DrawingIndex::fileSegment(uint32_t ordinal, Point from, Point to, double reach) {
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    if (!std::isfinite(length) || !std::isfinite(reach) || length / cellSize > mostCells) {
        everywhere_.push_back(ordinal);
        return;
    }
    // Points half a cell apart, each filed with a square that reaches past the next one: every
    // point of the line, with the reach around it, lies in a filed cell.
    const double step = cellSize / 2;
    const int samples = int(std::ceil(length / step));
    const double half = reach + step / 2;
    for (int i = 0; i <= samples; ++i) {
        const double t = samples == 0 ? 0 : double(i) / samples;
        const Point p{from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t};
        file(ordinal, Rect{p.x - half, p.y - half, 2 * half, 2 * half});
    }
}

void DrawingIndex::query(const Rect& area, Candidates& candidates) const {
    candidates.labels.clear();
    candidates.arrows.clear();
    candidates.references.clear();
    std::vector<uint32_t> found = everywhere_;
    if (isFinite(area)) {
        const double left = std::floor(area.minX() / cellSize);
        const double right = std::floor(area.maxX() / cellSize);
        const double top = std::floor(area.minY() / cellSize);
        const double bottom = std::floor(area.maxY() / cellSize);
        if ((right - left + 1) * (bottom - top + 1) <= double(cells_.size())) {
            for (auto column = int64_t(left); column <= int64_t(right); ++column) {
                for (auto row = int64_t(top); row <= int64_t(bottom); ++row) {
                    auto it = cells_.find(cellKey(column, row));
                    if (it != cells_.end())
                        found.insert(found.end(), it->second.begin(), it->second.end());
                }
            }
        } else {
            // An area wider than all the cells there are: walk the cells instead.
            for (const auto& [key, ordinals] : cells_)
                found.insert(found.end(), ordinals.begin(), ordinals.end());
        }
    } else {
        for (const auto& [key, ordinals] : cells_)
            found.insert(found.end(), ordinals.begin(), ordinals.end());
    }
    const auto labelCount = uint32_t(labels_.size());
    const auto arrowEnd = labelCount + uint32_t(arrows_.size());
    const size_t total = arrowEnd + references_.size();
    // Each item once, in order: a few are sorted, many are picked out of a list of all.
    if (found.size() > total / 16) {
        std::vector<uint8_t> seen(total, 0);
        for (uint32_t ordinal : found)
            seen[ordinal] = 1;
        found.clear();
        for (uint32_t ordinal = 0; ordinal < total; ++ordinal) {
            if (seen[ordinal])
                found.push_back(ordinal);
        }
    } else {
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
    }
    for (uint32_t ordinal : found) {
        if (ordinal < labelCount)
            candidates.labels.push_back(ordinal);
        else if (ordinal < arrowEnd)
            candidates.arrows.push_back(ordinal - labelCount);
        else
            candidates.references.push_back(ordinal - arrowEnd);
    }
}

bool DrawingIndex::fits(const StepsModel& model) const {
    if (model.labels != labels_ || model.arrows != arrows_ || model.content() != references_)
        return false;
    // Bit for bit: a place of NaNs is the same place again.
    auto same = [](const std::optional<Rect>& filed, const Rect& now, bool selected) {
        return !filed || (!selected && std::memcmp(&*filed, &now, sizeof(Rect)) == 0);
    };
    uint32_t ordinal = 0;
    for (const LabelPtr& label : labels_) {
        if (label && !same(places_[ordinal], label->rect, label->selected))
            return false;
        ++ordinal;
    }
    for (const auto& [source, target] : arrows_) {
        if (source && target && places_[ordinal]) {
            const Point from = centre(source->rect);
            const Point to = centre(target->rect);
            if (!same(places_[ordinal], Rect{from.x, from.y, to.x, to.y}, false))
                return false;
        }
        ++ordinal;
    }
    for (const ReferencePtr& reference : references_) {
        if (reference && !same(places_[ordinal], reference->rect, reference->selected))
            return false;
        ++ordinal;
    }
    return true;
}

} // namespace pathwicks
