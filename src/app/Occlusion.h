#pragma once

#include <QRect>

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace pathwicks {

// Which device pixels the opaque shapes of a drawing paint over, and the topmost shape over
// each, by its place in the drawing's order (its level). A shape need not paint the pixels a
// shape above it covers: that one paints them over whatever lay below. Shapes are added from
// the top down, so each pixel keeps the first shape that covers it.
class Occlusion {
public:
    // Pixels from first to last of a row, covered first by the shape at level; in order.
    struct Span {
        int first;
        int last;
        uint32_t level;
    };

    // Forgets every shape; only the pixels of `area` are kept.
    void reset(const QRect& area);

    // The rectangle, where no shape above covers it yet, as covered by the shape at `level`,
    // which lies below every shape added before.
    void cover(const QRect& r, uint32_t level);

    // Once every shape is in: the rows packed together, for quick look-ups while painting.
    void pack();

    // Whether shapes above `level` cover every pixel of r that lies in the area.
    bool hides(const QRect& r, uint32_t level) const;

    // Calls paint(from, to) for each stretch of row y from `first` to `last` (inclusive) that
    // no shape above `level` covers.
    template <class Paint>
    void visible(int y, int first, int last, uint32_t level, Paint&& paint) const {
        const bool below = underUnion(level);
        if (below && packed_ && coveredTiles(y, first, last))
            return;
        const std::span<const Span> spans = row(y, below);
        auto span = std::lower_bound(spans.begin(), spans.end(), first,
                                     [](const Span& s, int x) { return s.last < x; });
        int x = first;
        for (; span != spans.end() && span->first <= last; ++span) {
            if (!below && span->level <= level)
                continue;
            if (span->first > x)
                paint(x, span->first - 1);
            x = std::max(x, span->last + 1);
        }
        if (x <= last)
            paint(x, last);
    }

    // Whether shapes above `level` surely cover the stretch of row y, and of the rows after it
    // up to lastOfTile(y): quick, but may miss some that they do.
    bool surelyHides(int y, int first, int last, uint32_t level) const {
        return packed_ && underUnion(level) && inside(first, y) && inside(last, y) &&
               coveredTiles(y, first, last);
    }

    // The last row of the tile row y lies in, for surelyHides().
    int lastOfTile(int y) const { return y + tile - 1 - (y - area_.top()) % tile; }

    // Whether a shape above `level` covers the pixel.
    bool covers(int x, int y, uint32_t level) const {
        if (!inside(x, y))
            return false;
        const bool below = underUnion(level);
        if (below && packed_ && (coveredTiles(y, x, x) || !touched(y, x)))
            return below && coveredTiles(y, x, x);
        const std::span<const Span> spans = row(y, below);
        auto span = std::lower_bound(spans.begin(), spans.end(), x,
                                     [](const Span& s, int v) { return s.last < v; });
        return span != spans.end() && span->first <= x && (below || span->level > level);
    }

private:
    // The area in tiles of tile by tile pixels; a bit for each tile the shapes cover whole, a
    // row of tiles in `tileWords_` words, for the many rows of lines that lie under boxes.
    static constexpr int tile = 8;
    void findCoveredTiles();
    bool inside(int x, int y) const {
        return x >= area_.left() && x <= area_.right() && y >= area_.top() && y <= area_.bottom();
    }
    // Whether any shape of the union kept reaches into the pixel's tile.
    bool touched(int y, int x) const {
        const int t = (x - area_.left()) / tile;
        return touchedTiles_[size_t((y - area_.top()) / tile) * tileWords_ + size_t(t / 64)] >>
                   (t % 64) &
               1;
    }
    bool coveredTiles(int y, int first, int last) const {
        const size_t row = size_t((y - area_.top()) / tile) * tileWords_;
        for (int t = (first - area_.left()) / tile; t <= (last - area_.left()) / tile; ++t) {
            if (!(coveredTiles_[row + size_t(t / 64)] >> (t % 64) & 1))
                return false;
        }
        return true;
    }

    // Whether every shape above `level` lies above the union kept: then that is all that
    // counts. While shapes are added, the union is of all of them; once packed, of those
    // above the widest run of levels without a shape (as the lines under boxes are), taken
    // when it was passed.
    bool underUnion(uint32_t level) const {
        return packed_ ? int64_t(level) > unionBelow_ && level < unionAbove_ : level < lowest_;
    }
    // The union as it is now kept for the levels between below and above.
    void keepUnion(int64_t below, uint32_t above);

    // A row's spans; below the union kept, the union.
    std::span<const Span> row(int y, bool below) const {
        const size_t i = size_t(y - area_.top());
        if (!packed_)
            return below ? union_[i] : rows_[i];
        const std::vector<uint32_t>& starts = below ? unionStarts_ : packedStarts_;
        const Span* spans = below ? packedUnion_.data() : packedRows_.data();
        return {spans + starts[i], spans + starts[i + 1]};
    }

    QRect area_;
    std::vector<std::vector<Span>> rows_;
    std::vector<std::vector<Span>> union_; // each row's covered pixels, whatever covers them
    uint32_t lowest_ = 0;                  // the level of the last shape added, if any
    bool any_ = false;
    int64_t unionBelow_ = 0;
    uint32_t unionAbove_ = 0;
    std::vector<Span> merged_;             // for cover(), kept to spare allocations
    bool packed_ = false;
    std::vector<Span> packedRows_, packedUnion_;
    std::vector<uint32_t> packedStarts_, unionStarts_; // where each row starts, and the end
    std::vector<uint64_t> coveredTiles_, touchedTiles_;
    std::vector<uint64_t> covering_, touching_; // for findCoveredTiles()
    size_t tileWords_ = 0;
};

} // namespace pathwicks
