#include "app/Occlusion.h"

namespace pathwicks {

void Occlusion::reset(const QRect& area) {
    area_ = area.isValid() ? area : QRect();
    const size_t rows = size_t(std::max(area_.height(), 0));
    if (rows_.size() < rows)
        rows_.resize(rows);
    for (size_t y = 0; y < rows; ++y)
        rows_[y].clear();
}

void Occlusion::cover(const QRect& r, uint32_t level) {
    const QRect inside = r & area_;
    if (inside.isEmpty())
        return;
    const int first = inside.left(), last = inside.right();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        std::vector<Span>& spans = rows_[size_t(y - area_.top())];
        const auto from = std::lower_bound(spans.begin(), spans.end(), first,
                                           [](const Span& s, int x) { return s.last < x; });
        // The spans already there, with the gaps between them filled at this level.
        merged_.clear();
        int x = first;
        auto to = from;
        for (; to != spans.end() && to->first <= last; ++to) {
            if (to->first > x)
                merged_.push_back({x, to->first - 1, level});
            merged_.push_back(*to);
            x = std::max(x, to->last + 1);
        }
        if (x <= last)
            merged_.push_back({x, last, level});
        const size_t kept = size_t(to - from);
        if (merged_.size() == kept)
            continue;
        const size_t at = size_t(from - spans.begin());
        spans.erase(from, to);
        spans.insert(spans.begin() + ptrdiff_t(at), merged_.begin(), merged_.end());
    }
}

bool Occlusion::hides(const QRect& r, uint32_t level) const {
    const QRect inside = r & area_;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const std::vector<Span>& spans = rows_[size_t(y - area_.top())];
        int x = inside.left();
        auto span = std::lower_bound(spans.begin(), spans.end(), x,
                                     [](const Span& s, int v) { return s.last < v; });
        while (x <= inside.right()) {
            if (span == spans.end() || span->first > x || span->level <= level)
                return false;
            x = span->last + 1;
            ++span;
        }
    }
    return true;
}

} // namespace pathwicks
