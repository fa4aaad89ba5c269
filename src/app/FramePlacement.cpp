#include "app/FramePlacement.h"

#include <algorithm>
#include <cmath>

namespace pathwicks {

namespace {

// Whole points, in the way the window system counts them: a rectangle covers the points
// from x to x + width - 1.
struct Box {
    long x, y, width, height;

    long right() const { return x + width - 1; }
    long bottom() const { return y + height - 1; }
    long centreX() const { return (x + right()) / 2; }
    long centreY() const { return (y + bottom()) / 2; }
    bool contains(long px, long py) const {
        return px >= x && px <= right() && py >= y && py <= bottom();
    }
    bool overlaps(const Box& other) const {
        return x <= other.right() && other.x <= right() && y <= other.bottom() &&
               other.y <= bottom();
    }
    void centreOn(const Box& other) {
        x = other.centreX() - (width - 1) / 2;
        y = other.centreY() - (height - 1) / 2;
    }
    Rect rect() const { return Rect{double(x), double(y), double(width), double(height)}; }
};

Box whole(const Rect& r) {
    auto round = [](double v) { return long(std::lround(v)); };
    return Box{round(r.x), round(r.y), round(r.width), round(r.height)};
}

// The part of a usable area that a window's inside may take, its decoration around it.
Box inside(Box area, const Decoration& decoration) {
    const Box edges =
        whole(Rect{decoration.left, decoration.top, decoration.right, decoration.bottom});
    area.x += edges.x;
    area.y += edges.y;
    area.width = std::max(1L, area.width - edges.x - edges.width);
    area.height = std::max(1L, area.height - edges.y - edges.height);
    return area;
}

} // namespace

Rect placeFrame(const std::optional<Rect>& saved, const std::vector<ScreenArea>& screens,
                Size minimum, Size fallback, Decoration decoration) {
    const bool usable = saved && saved->width > 0 && saved->height > 0;
    Box wanted = usable ? whole(*saved) : whole(Rect{0, 0, fallback.width, fallback.height});

    Box available{0, 0, 1280, 800}; // no screen at all: a common size
    if (!screens.empty())
        available = whole(screens.front().available);
    if (usable) {
        for (const ScreenArea& screen : screens) {
            if (whole(screen.geometry).contains(wanted.centreX(), wanted.centreY())) {
                available = whole(screen.available);
                break;
            }
        }
    }

    available = inside(available, decoration);
    const Box least = whole(Rect{0, 0, minimum.width, minimum.height});
    wanted.width = std::clamp(wanted.width, least.width, std::max(least.width, available.width));
    wanted.height =
        std::clamp(wanted.height, least.height, std::max(least.height, available.height));
    if (!usable || !available.overlaps(wanted)) {
        wanted.centreOn(available);
    } else {
        wanted.x = std::clamp(wanted.x, available.x,
                              std::max(available.x, available.right() + 1 - wanted.width));
        wanted.y = std::clamp(wanted.y, available.y,
                              std::max(available.y, available.bottom() + 1 - wanted.height));
    }
    return wanted.rect();
}

} // namespace pathwicks
