#include "canvas/ViewTransform.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pathwicks {

namespace {

constexpr std::array<double, 15> zoomSteps{0.1,  0.15, 0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75, 1,
                                           1.25, 1.5,  2,    2.5,     3,   3.5,     4};
// Steps closer than this count as the same, so that 66.7 % zooms on to 75 %.
constexpr double sameStep = 1e-3;
// Room left around the items when they are fitted into the view, in view pixels.
constexpr double fitRoom = 20;

} // namespace

double clampedZoom(double zoom) {
    if (std::isnan(zoom))
        return 1;
    return std::clamp(zoom, minimumZoom, maximumZoom);
}

double zoomedIn(double zoom) {
    for (double step : zoomSteps) {
        if (step > zoom + sameStep)
            return step;
    }
    return maximumZoom;
}

double zoomedOut(double zoom) {
    for (auto step = zoomSteps.rbegin(); step != zoomSteps.rend(); ++step) {
        if (*step < zoom - sameStep)
            return *step;
    }
    return minimumZoom;
}

double fittingZoom(const Rect& items, Size viewSize) {
    const double width = std::max(viewSize.width - 2 * fitRoom, 1.0);
    const double height = std::max(viewSize.height - 2 * fitRoom, 1.0);
    const double itemsWidth = std::abs(items.width);
    const double itemsHeight = std::abs(items.height);
    double zoom = 1;
    if (itemsWidth > 0)
        zoom = std::min(zoom, width / itemsWidth);
    if (itemsHeight > 0)
        zoom = std::min(zoom, height / itemsHeight);
    return clampedZoom(zoom);
}

Point scrollKeeping(const ViewTransform& view, Point fixed, Point anchor) {
    const Point at = view.toView(fixed);
    return {at.x - anchor.x, at.y - anchor.y};
}

namespace {

ZoomedView zoomedView(double zoom, Point fixed, Point anchor, Size viewSize) {
    return {zoom, fixed, anchor,
            Rect{fixed.x - anchor.x / zoom, fixed.y - anchor.y / zoom, viewSize.width / zoom,
                 viewSize.height / zoom}};
}

} // namespace

ZoomedView zoomedAbout(const Rect& visible, double zoomNow, double zoom, Point anchor,
                       Size viewSize) {
    const Point fixed{visible.x + anchor.x / zoomNow, visible.y + anchor.y / zoomNow};
    return zoomedView(zoom, fixed, anchor, viewSize);
}

ZoomedView fittedView(const Rect& items, Size viewSize) {
    return zoomedView(fittingZoom(items, viewSize), Point{items.midX(), items.midY()},
                      Point{viewSize.width / 2, viewSize.height / 2}, viewSize);
}

int zoomPercent(double zoom) {
    return int(std::lround(zoom * 100));
}

} // namespace pathwicks
