#include "canvas/ResizeGesture.h"

#include "canvas/Canvas.h"
#include "canvas/Grid.h"
#include "model/TextMeasurer.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace pathwicks::resizing {

namespace {

// Room left around the first line of a title at the smallest size.
constexpr double leastMargin = 6;

// A box resized past the canvas's top or left edge stops there, its far edges staying; nor does
// it grow beyond the farthest coordinate a document holds.
Rect onCanvas(Rect r) {
    const Point corner = keepOnCanvas({r.x, r.y});
    r.width = std::min(r.width - (corner.x - r.x), coordinateLimit - corner.x);
    r.height = std::min(r.height - (corner.y - r.y), coordinateLimit - corner.y);
    r.x = corner.x;
    r.y = corner.y;
    return r;
}

// The edges of r moved by the deltas of the dragged edges, each held to the least size.
Rect resized(Rect r, unsigned edges, Point startDelta, Point endDelta, Size least) {
    if (edges & left)
        r.x = std::min(r.x + startDelta.x, r.x + r.width - least.width);
    if (edges & right)
        r.width = std::max(r.width + endDelta.x, least.width);
    else if (edges & left)
        r.width = std::max(r.width - startDelta.x, least.width);
    if (edges & top)
        r.y = std::min(r.y + startDelta.y, r.y + r.height - least.height);
    if (edges & bottom)
        r.height = std::max(r.height + endDelta.y, least.height);
    else if (edges & top)
        r.height = std::max(r.height - startDelta.y, least.height);
    return onCanvas(r);
}

} // namespace

std::vector<std::pair<Point, unsigned>> handlesOf(const Rect& box) {
    const double x0 = box.minX(), x1 = box.maxX(), y0 = box.minY(), y1 = box.maxY();
    const double xm = (x0 + x1) / 2, ym = (y0 + y1) / 2;
    return {{{x0, y0}, left | top},    {{xm, y0}, top},    {{x1, y0}, right | top},
            {{x1, ym}, right},         {{x1, y1}, right | bottom},
            {{xm, y1}, bottom},        {{x0, y1}, left | bottom}, {{x0, ym}, left}};
}

std::vector<Rect> handleSquares(const Canvas& canvas) {
    std::vector<Rect> squares;
    for (const auto& reference : canvas.model().content()) {
        if (!reference->selected)
            continue;
        for (const auto& [point, edges] : handlesOf(reference->rect))
            squares.push_back(Rect{point.x - handleSize / 2, point.y - handleSize / 2,
                                   handleSize, handleSize});
    }
    return squares;
}

namespace {

// The topmost selected box with a handle under p, and the edges that handle moves.
std::pair<ReferencePtr, unsigned> handleAt(const Canvas& canvas, Point p) {
    const auto& content = canvas.model().content();
    for (auto reference = content.rbegin(); reference != content.rend(); ++reference) {
        if (!(*reference)->selected)
            continue;
        for (const auto& [point, edges] : handlesOf((*reference)->rect))
            if (std::abs(p.x - point.x) <= handleSize / 2 + 1 &&
                std::abs(p.y - point.y) <= handleSize / 2 + 1)
                return {*reference, edges};
    }
    return {nullptr, 0};
}

} // namespace

unsigned edgesAt(const Canvas& canvas, Point p) {
    return handleAt(canvas, p).second;
}

std::optional<gesture::Resize> press(Canvas& canvas, Point p) {
    const auto [reference, edges] = handleAt(canvas, p);
    if (!reference)
        return std::nullopt;
    return gesture::Resize{reference, edges, reference->rect, canvas.selectedPlacement().references};
}

void drag(Canvas& canvas, gesture::Resize& resize, Point p) {
    auto dragged = resize.dragged.lock();
    if (!dragged)
        return;
    const Point snapped = keepOnCanvas(snapToGrid(p));
    const Rect& start = resize.start;
    // How far the dragged box's start edges (left, top) and end edges (right, bottom) move.
    const Point startDelta{snapped.x - start.x, snapped.y - start.y};
    const Point endDelta{snapped.x - (start.x + start.width), snapped.y - (start.y + start.height)};
    for (const auto& [reference, before] : resize.before)
        reference->rect = resized(before, resize.edges, startDelta, endDelta,
                                  leastSize(*reference, canvas.measurer()));
    canvas.redisplay();
}

void release(Canvas& canvas, const gesture::Resize& resize) {
    PositionList now;
    for (const auto& [reference, before] : resize.before)
        now.emplace_back(reference, reference->rect);
    if (now != resize.before)
        canvas.moveReferences(now, resize.before);
}

Size leastSize(const Reference& reference, const TextMeasurer& measurer) {
    const std::string title = reference.displayTitle();
    const std::string firstLine = title.substr(0, title.find('\n'));
    const Size line = measurer.measureText(firstLine.empty() ? " " : firstLine,
                                           referenceTextAttributes());
    return {std::ceil(line.width) + 2 * leastMargin, std::ceil(line.height) + 2 * leastMargin};
}

} // namespace pathwicks::resizing
