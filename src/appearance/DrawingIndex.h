#pragma once

#include "model/StepsModel.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace pathwicks {

// A model's items filed by where they lie, so that drawing part of a large canvas visits only
// the items near that part instead of every item. It is a picture of the model as it stood
// when built, except for the selected items and the arrows at selected boxes: those are
// always candidates, so that moving the selection leaves the index as good as it was.
// Whoever moves, adds or removes other items builds it again before the next drawing (`fits`
// tells). It holds the items it files, so a stale index never points at freed ones.
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
    // By position in arrows(): whether an arrow before it joins the same two boxes the same way
    // (the two are candidates together).
    const std::vector<bool>& repeatedArrows() const { return repeatedArrows_; }
    const std::vector<ReferencePtr>& references() const { return references_; }

    // Whether the index still serves the model: the same items in the same order, and each
    // item filed by its place still there and still unselected. Moving only items that were
    // selected when it was built keeps it. A walk of the lists without filing anything.
    bool fits(const StepsModel& model) const;

private:
    using Cell = uint64_t;
    static constexpr double cellSize = 512;

    void file(uint32_t ordinal, const Rect& area);
    // Files the item by its place, or everywhere when it was selected.
    void fileItem(uint32_t ordinal, const Rect& area, bool selected);
    void fileSegment(uint32_t ordinal, Point from, Point to, double reach);
    static Cell cellKey(int64_t column, int64_t row);
    void findRepeatedArrows();

    std::vector<LabelPtr> labels_;
    std::vector<Arrow> arrows_;
    std::vector<bool> repeatedArrows_;
    std::vector<ReferencePtr> references_;
    // Ordinals run through labels, then arrows, then references: drawing order.
    std::unordered_map<Cell, std::vector<uint32_t>> cells_;
    // Items too large, too far out or without a place of numbers: always candidates.
    std::vector<uint32_t> everywhere_;
    // Per ordinal, where the item was filed (an arrow: its boxes' centres as x, y and
    // width, height), or nothing when it is a candidate everywhere for being selected.
    std::vector<std::optional<Rect>> places_;
};

} // namespace pathwicks
