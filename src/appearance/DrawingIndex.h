#pragma once

#include "model/StepsModel.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace pathwicks {

// A model's items filed by where they lie, so that drawing part of a large canvas visits only
// the items near that part instead of every item. It is a picture of the model as it stood
// when built: whoever moves, adds or removes items builds it again before the next drawing.
// It holds the items it files, so a stale index never points at freed ones.
class DrawingIndex {
public:
    DrawingIndex() = default;
    // `reach`: how far an arrow's drawing may stray beyond the line between its boxes' centres.
    DrawingIndex(const StepsModel& model, double reach);

    // The items that may show in `area`, each in the model's order, as positions into the
    // lists below.
    struct Candidates {
        std::vector<uint32_t> labels;
        std::vector<uint32_t> arrows;
        std::vector<uint32_t> references;
    };
    void query(const Rect& area, Candidates& candidates) const;

    const std::vector<LabelPtr>& labels() const { return labels_; }
    const std::vector<Arrow>& arrows() const { return arrows_; }
    const std::vector<ReferencePtr>& references() const { return references_; }

    // Whether the model still holds as many items of each kind as the index: a cheap check
    // that the index was built again after items came or went.
    bool matchesCounts(const StepsModel& model) const;

private:
    using Cell = uint64_t;
    static constexpr double cellSize = 512;

    void file(uint32_t ordinal, const Rect& area);
    void fileSegment(uint32_t ordinal, Point from, Point to, double reach);
    static Cell cellKey(int64_t column, int64_t row);

    std::vector<LabelPtr> labels_;
    std::vector<Arrow> arrows_;
    std::vector<ReferencePtr> references_;
    // Ordinals run through labels, then arrows, then references: drawing order.
    std::unordered_map<Cell, std::vector<uint32_t>> cells_;
    // Items too large, too far out or without a place of numbers: always candidates.
    std::vector<uint32_t> everywhere_;
};

} // namespace pathwicks
