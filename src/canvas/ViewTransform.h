#pragma once

#include "model/Geometry.h"

namespace pathwicks {

inline constexpr double minimumZoom = 0.1;
inline constexpr double maximumZoom = 4;

// How a window shows its document: view pixels are document points times the zoom, and the
// document point `origin` lies at the view's top left. Documents store only their own units;
// the zoom belongs to the window.
struct ViewTransform {
    double zoom = 1;
    Point origin;

    Point toView(Point p) const { return {(p.x - origin.x) * zoom, (p.y - origin.y) * zoom}; }
    Point toDocument(Point p) const { return {origin.x + p.x / zoom, origin.y + p.y / zoom}; }
    Rect toView(const Rect& r) const {
        const Point o = toView(Point{r.x, r.y});
        return {o.x, o.y, r.width * zoom, r.height * zoom};
    }
    Rect toDocument(const Rect& r) const {
        const Point o = toDocument(Point{r.x, r.y});
        return {o.x, o.y, r.width / zoom, r.height / zoom};
    }
    bool operator==(const ViewTransform&) const = default;
};

// The zoom held within minimumZoom and maximumZoom; a value of no number is 1.
double clampedZoom(double zoom);
// The next of the usual steps (10 %, 25 %, 50 %, 100 %, 200 % ...) above or below zoom.
double zoomedIn(double zoom);
double zoomedOut(double zoom);
// The largest zoom, at most 1, at which `items` fits into a view of `viewSize` pixels with a
// little room around it.
double fittingZoom(const Rect& items, Size viewSize);

// Where the view's visible part must start (its top left, in view pixels) so that the document
// point `fixed` lies `anchor` pixels from the visible part's top left under `view`.
Point scrollKeeping(const ViewTransform& view, Point fixed, Point anchor);

// A zoom about to be shown: the document point `fixed` stays `anchor` view pixels from the
// visible part's top left, and `visible` is the part of the document in view at that zoom.
struct ZoomedView {
    double zoom = 1;
    Point fixed;
    Point anchor;
    Rect visible;
};

// Zooming a view of `viewSize` pixels that shows `visible` at `zoomNow` so that the document
// point under `anchor` stays under it.
ZoomedView zoomedAbout(const Rect& visible, double zoomNow, double zoom, Point anchor,
                       Size viewSize);
// The zoom at which `items` fits a view of `viewSize` pixels (`fittingZoom`), their middle in
// the view's middle.
ZoomedView fittedView(const Rect& items, Size viewSize);

// The zoom in whole percent, as the status bar shows it: "150 %".
int zoomPercent(double zoom);

} // namespace pathwicks
