#pragma once

#include <QRect>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pathwicks {

// Which device pixels the opaque shapes of a drawing paint over, and the topmost shape over
// each, by its place in the drawing's order (its level). A shape need not paint the pixels a
// shape above it covers: that one paints them over whatever lay below. Shapes are added from
// the top down, so each pixel keeps the first shape that covers it.
class Occlusion {
public:
    // Forgets every shape; only the pixels of `area` are kept.
    void reset(const QRect& area);

    // The rectangle, where no shape above covers it yet, as covered by the shape at `level`,
    // which lies below every shape added before.
    void cover(const QRect& r, uint32_t level);

    // Whether shapes above `level` cover every pixel of r that lies in the area.
    bool hides(const QRect& r, uint32_t level) const;

    // Calls paint(from, to) for each stretch of row y from `first` to `last` (inclusive) that
    // no shape above `level` covers.
    template <class Paint>
    void visible(int y, int first, int last, uint32_t level, Paint&& paint) const {
        const std::vector<Span>& spans = rows_[size_t(y - area_.top())];
        auto span = std::lower_bound(spans.begin(), spans.end(), first,
                                     [](const Span& s, int x) { return s.last < x; });
        int x = first;
        for (; span != spans.end() && span->first <= last; ++span) {
            if (span->level <= level)
                continue;
            if (span->first > x)
                paint(x, span->first - 1);
            x = std::max(x, span->last + 1);
        }
        if (x <= last)
            paint(x, last);
    }

    // Whether a shape above `level` covers the pixel.
    bool covers(int x, int y, uint32_t level) const {
        if (!area_.contains(x, y))
            return false;
        const std::vector<Span>& spans = rows_[size_t(y - area_.top())];
        auto span = std::lower_bound(spans.begin(), spans.end(), x,
                                     [](const Span& s, int v) { return s.last < v; });
        return span != spans.end() && span->first <= x && span->level > level;
    }

private:
    // Pixels from first to last of a row, covered first by the shape at level; in order.
    struct Span {
        int first;
        int last;
        uint32_t level;
    };

    QRect area_;
    std::vector<std::vector<Span>> rows_;
    std::vector<Span> merged_; // for cover(), kept to spare allocations
};

} // namespace pathwicks
