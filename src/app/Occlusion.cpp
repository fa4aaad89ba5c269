#include "app/Occlusion.h"

namespace pathwicks {

void Occlusion::reset(const QRect& area) {
    area_ = area.isValid() ? area : QRect();
    const size_t rows = size_t(std::max(area_.height(), 0));
    if (rows_.size() < rows) {
        rows_.resize(rows);
        union_.resize(rows);
    }
    for (size_t y = 0; y < rows; ++y) {
        rows_[y].clear();
        union_[y].clear();
    }
    lowest_ = 0;
    any_ = false;
    unionBelow_ = 0;
    unionAbove_ = 0;
    packedUnion_.clear();
    unionStarts_.assign(rows + 1, 0);
    packed_ = false;
}

namespace {

void packInto(const std::vector<std::vector<Occlusion::Span>>& rows, size_t count,
              std::vector<Occlusion::Span>& spans, std::vector<uint32_t>& starts) {
    spans.clear();
    starts.clear();
    for (size_t y = 0; y < count; ++y) {
        starts.push_back(uint32_t(spans.size()));
        spans.insert(spans.end(), rows[y].begin(), rows[y].end());
    }
    starts.push_back(uint32_t(spans.size()));
}

} // namespace

void Occlusion::keepUnion(int64_t below, uint32_t above) {
    // Runs of a few levels are a box's title and marks: not worth the copy.
    constexpr int64_t shortest = 8;
    if (!any_ || int64_t(above) - below < std::max(shortest, int64_t(unionAbove_) - unionBelow_))
        return;
    unionBelow_ = below;
    unionAbove_ = above;
    packInto(union_, size_t(std::max(area_.height(), 0)), packedUnion_, unionStarts_);
}

void Occlusion::pack() {
    keepUnion(-1, lowest_);
    packInto(rows_, size_t(std::max(area_.height(), 0)), packedRows_, packedStarts_);
    findCoveredTiles();
    packed_ = true;
}

namespace {

// Sets the bits from `from` to `to` of a row of words.
void setBits(std::vector<uint64_t>& words, int from, int to) {
    for (int t = from; t <= to;) {
        const int bits = std::min(64 - t % 64, to - t + 1);
        const uint64_t mask = bits == 64 ? ~uint64_t(0) : ((uint64_t(1) << bits) - 1);
        words[size_t(t / 64)] |= mask << (t % 64);
        t += bits;
    }
}

} // namespace

void Occlusion::findCoveredTiles() {
    const int width = std::max(area_.width(), 0), height = std::max(area_.height(), 0);
    tileWords_ = size_t((width + tile - 1) / tile + 63) / 64;
    coveredTiles_.assign(tileWords_ * size_t((height + tile - 1) / tile), 0);
    touchedTiles_.assign(coveredTiles_.size(), 0);
    covering_.resize(tileWords_);
    touching_.resize(tileWords_);
    for (int y = 0; y < height; ++y) {
        // The tiles each span of the row covers across; those of the area's right edge
        // reach past it, where nothing is painted.
        std::fill(covering_.begin(), covering_.end(), 0);
        std::fill(touching_.begin(), touching_.end(), 0);
        for (uint32_t i = unionStarts_[size_t(y)]; i < unionStarts_[size_t(y) + 1]; ++i) {
            const int first = packedUnion_[i].first - area_.left();
            const int last = packedUnion_[i].last - area_.left();
            const int to = last + 1 >= width ? (width - 1) / tile : (last + 1) / tile - 1;
            setBits(covering_, (first + tile - 1) / tile, to);
            setBits(touching_, first / tile, last / tile);
        }
        const size_t at = size_t(y / tile) * tileWords_;
        for (size_t w = 0; w < tileWords_; ++w) {
            coveredTiles_[at + w] =
                y % tile == 0 ? covering_[w] : coveredTiles_[at + w] & covering_[w];
            touchedTiles_[at + w] |= touching_[w];
        }
    }
}

namespace {

// The stretch from first to last joined to a row's union.
void join(std::vector<Occlusion::Span>& spans, int first, int last) {
    auto from = std::lower_bound(spans.begin(), spans.end(), first - 1,
                                 [](const Occlusion::Span& s, int x) { return s.last < x; });
    auto to = from;
    for (; to != spans.end() && to->first <= last + 1; ++to) {
        first = std::min(first, to->first);
        last = std::max(last, to->last);
    }
    if (to == from) {
        spans.insert(from, {first, last, 0});
        return;
    }
    *from = {first, last, 0};
    spans.erase(from + 1, to);
}

} // namespace

void Occlusion::cover(const QRect& r, uint32_t level) {
    const QRect inside = r & area_;
    if (inside.isEmpty())
        return;
    const int first = inside.left(), last = inside.right();
    if (!any_ || level < lowest_)
        keepUnion(level, lowest_);
    lowest_ = level;
    any_ = true;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        join(union_[size_t(y - area_.top())], first, last);
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
        // The gaps only add spans: the tail moves once.
        const size_t at = size_t(from - spans.begin());
        spans.insert(to, merged_.size() - kept, Span{});
        std::copy(merged_.begin(), merged_.end(), spans.begin() + ptrdiff_t(at));
    }
}

bool Occlusion::hides(const QRect& r, uint32_t level) const {
    const QRect inside = r & area_;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const bool below = underUnion(level);
        const std::span<const Span> spans = row(y, below);
        int x = inside.left();
        auto span = std::lower_bound(spans.begin(), spans.end(), x,
                                     [](const Span& s, int v) { return s.last < v; });
        while (x <= inside.right()) {
            if (span == spans.end() || span->first > x || (!below && span->level <= level))
                return false;
            x = span->last + 1;
            ++span;
        }
    }
    return true;
}

} // namespace pathwicks
