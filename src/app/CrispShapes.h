#pragma once

#include "appearance/DrawList.h"

#include <QRect>
#include <QTransform>

#include <optional>
#include <vector>

class QPainter;

namespace pathwicks {

class PixelTarget;

// Where a drawing list lands on the device's pixels, when the painter only scales and moves
// it: then edges are put on whole device pixels, at any device pixel ratio (1.25, 1.5, 2 ...),
// so that borders keep one width, touching fills leave no seam and the grid stays even.
struct PixelMap {
    double scale = 1; // device pixels per unit of the list
    double dx = 0;
    double dy = 0;
    double ratio = 1; // device pixels per logical pixel of the painter

    // Nothing when the painter rotates, shears or mirrors.
    static std::optional<PixelMap> of(const QPainter& painter);

    double x(double v) const { return v * scale + dx; }
    double y(double v) const { return v * scale + dy; }
    // A length in whole device pixels, at least one.
    int width(double units) const;
};

// Paints with the painter's coordinates set to the device's pixels, then puts them back.
class DevicePixels {
public:
    DevicePixels(QPainter& painter, const PixelMap& map);
    ~DevicePixels();
    DevicePixels(const DevicePixels&) = delete;
    DevicePixels& operator=(const DevicePixels&) = delete;

private:
    QPainter& painter_;
    QTransform saved_;
};

// Where a box painted on whole device pixels lands: in `outer`, all but a square of `corner`
// pixels a side in each corner (none: square corners) is painted in its opaque colours.
struct CrispBox {
    QRect outer;
    int corner = 0;
    int outline = 0;    // in device pixels
    double radius = 0; // of the corners, in device pixels
};

// Nothing when the box is not painted so (see paintCrispBox).
std::optional<CrispBox> crispBoxOf(const RectOp& op, const PixelMap& map);

// The pixels a crisp box paints opaque, rows of its corners one by one, added to `rows`: none
// without a fill.
void appendOpaqueRows(const RectOp& op, const CrispBox& box, std::vector<QRect>& rows);

// A box filled and outlined with its edges on whole device pixels and an outline of whole
// device pixels; rounded corners come from a small picture made once per style and size, the
// straight parts are plain rectangles. False when the box is not of that kind (colours not
// opaque, a box too small for its corners): the caller paints it the ordinary way.
// With a target, straight into its pixels.
bool paintCrispBox(QPainter& painter, const RectOp& op, const PixelMap& map,
                   const PixelTarget* target = nullptr);

// Lines that all run straight across or down (the grid, the add button's plus), solid or
// dashed, as rectangles of whole device pixels. False when any line is slanted.
bool paintCrispLines(QPainter& painter, const LinesOp& op, const PixelMap& map,
                     const PixelTarget* target = nullptr);

// The rectangle on whole device pixels that a fill of `r` covers.
QRect devicePixelsOf(const Rect& r, const PixelMap& map);

} // namespace pathwicks
