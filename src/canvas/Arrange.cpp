#include "canvas/Arrange.h"

#include "canvas/Canvas.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace pathwicks {

namespace {

// The selected items' rectangles, to be changed and then applied as one move.
struct Items {
    Placement before;
    std::vector<Rect*> rects; // into `after`, references first
    Placement after;

    explicit Items(const Canvas& canvas) : before(canvas.selectedPlacement()), after(before) {
        for (auto& [reference, rect] : after.references)
            rects.push_back(&rect);
        for (auto& [label, rect] : after.labels)
            rects.push_back(&rect);
        // Items without a place of numbers are left where they are.
        std::erase_if(rects, [](const Rect* r) {
            return !std::isfinite(r->minX()) || !std::isfinite(r->maxX()) ||
                   !std::isfinite(r->minY()) || !std::isfinite(r->maxY());
        });
    }

    bool apply(Canvas& canvas) const {
        if (after.references == before.references && after.labels == before.labels)
            return true;
        canvas.moveItems(after, before);
        return true;
    }
};

// Moves r so that its edge or middle along one axis lies at `to`.
void setLeft(Rect& r, double to) {
    r.x += to - r.minX();
}
void setTop(Rect& r, double to) {
    r.y += to - r.minY();
}

} // namespace

bool align(Canvas& canvas, Alignment alignment) {
    Items items(canvas);
    if (items.rects.size() < 2)
        return false;
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (const Rect* r : items.rects) {
        minX = std::min(minX, r->minX());
        minY = std::min(minY, r->minY());
        maxX = std::max(maxX, r->maxX());
        maxY = std::max(maxY, r->maxY());
    }
    for (Rect* r : items.rects) {
        const double width = r->maxX() - r->minX();
        const double height = r->maxY() - r->minY();
        switch (alignment) {
        case Alignment::left:
            setLeft(*r, minX);
            break;
        case Alignment::centre:
            setLeft(*r, (minX + maxX) / 2 - width / 2);
            break;
        case Alignment::right:
            setLeft(*r, maxX - width);
            break;
        case Alignment::top:
            setTop(*r, minY);
            break;
        case Alignment::middle:
            setTop(*r, (minY + maxY) / 2 - height / 2);
            break;
        case Alignment::bottom:
            setTop(*r, maxY - height);
            break;
        }
    }
    return items.apply(canvas);
}

bool distribute(Canvas& canvas, Distribution distribution) {
    Items items(canvas);
    if (items.rects.size() < 3)
        return false;
    const bool horizontal = distribution == Distribution::horizontal;
    const auto start = [horizontal](const Rect* r) { return horizontal ? r->minX() : r->minY(); };
    const auto length = [horizontal](const Rect* r) {
        return horizontal ? r->maxX() - r->minX() : r->maxY() - r->minY();
    };
    std::vector<Rect*> order = items.rects;
    std::stable_sort(order.begin(), order.end(), [&](const Rect* a, const Rect* b) {
        return start(a) + length(a) / 2 < start(b) + length(b) / 2;
    });
    const double first = start(order.front());
    const double last = start(order.back()) + length(order.back());
    const double total =
        std::accumulate(order.begin(), order.end(), 0.0,
                        [&](double sum, const Rect* r) { return sum + length(r); });
    const double gap = (last - first - total) / double(order.size() - 1);
    double at = first;
    for (Rect* r : order) {
        if (horizontal)
            setLeft(*r, at);
        else
            setTop(*r, at);
        at += length(r) + gap;
    }
    return items.apply(canvas);
}

} // namespace pathwicks
