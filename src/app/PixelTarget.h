#pragma once

#include "app/Occlusion.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class QPainter;

namespace pathwicks {

// The pixels behind a painter, written to directly. Qt's painter rasterises a line pixel by
// pixel through its general blending path, some ten times slower than the loops below, and a
// canvas far out is thousands of lines and small boxes. Only where painting straight into
// the pixels gives what the painter would: an image of 32-bit premultiplied pixels (a
// window's backing store, an exported picture), painted over plainly (source over, full
// opacity) within rectangular clips. All coordinates are the device's pixels.
class PixelTarget {
public:
    enum class Cap { flat, square, round };

    // Nothing when the painter's device or state is of another kind.
    static std::optional<PixelTarget> of(const QPainter& painter);

    // Whole pixels, clipped; the colour also as a premultiplied pixel, for many fills of one.
    void fill(const QRect& area, const QColor& color) const;
    void fill(const QRect& area, QRgb premultiplied) const;

    // An opaque fill of the area but for `holes`, which shapes painted after it cover opaque:
    // where the fill goes straight to memory, what they cover is not written, and so not
    // fetched back when they are painted.
    void fill(const QRect& area, QRgb premultiplied, std::vector<QRect> holes) const;
    // Whether an opaque fill of the area goes straight to memory, past the caches.
    static bool streams(const QRect& area);

    // A rectangle of whole pixels with a rim a pixel wide, both opaque premultiplied colours:
    // as filling all of it with `rim`, then its inside with `inside`.
    void framed(const QRect& outer, QRgb rim, QRgb inside) const;

    // A box of whole pixels with rounded corners, in one pass over its rows: each k by k
    // pixels of its corners the matching quarter of `corners` (a premultiplied picture 2k + 1
    // pixels a side) over the pixels; between them a rim w pixels wide and the inside, in
    // opaque premultiplied colours (none: left as they are).
    void rounded(const QRect& outer, const QImage& corners, int k, int w, std::optional<QRgb> rim,
                 std::optional<QRgb> inside) const;

    // The part `source` of a premultiplied image over the pixels from `at` on.
    void draw(QPoint at, const QImage& image, const QRect& source) const;
    // An opaque premultiplied image in place of the pixels from `at` on; with `columns`, only
    // those from the first to the last of each row of the image (none: first past last).
    void copy(QPoint at, const QImage& image,
              const std::vector<std::pair<int, int>>* columns = nullptr) const;

    // A line `width` pixels wide from a to b, antialiased unless `smooth` is false (then a line
    // under a pixel and a half wide is one hard pixel each step). Where two lines of one
    // stroke overlap, a colour that is not opaque shows darker: callers keep those to the
    // painter.
    void line(QPointF a, QPointF b, double width, Cap cap, const QColor& color,
              bool smooth = true) const;

    // The pixels painted to: the image, less what the painter clips.
    const QRect& area() const { return clip_; }
    // From now on, the pixels of the image within `pixels`: those the painter clips to, where
    // they are known exactly.
    void setArea(const QRect& pixels) { clip_ = image_->rect() & pixels; }
    // The image painted into.
    const QImage& image() const { return *image_; }
    // Whether what shapes above cover is left out (see hideCovered).
    bool hidesCovered() const { return above_ != nullptr; }
    // From now on, what the shape at `level` paints, less what shapes above it in `above`
    // cover (none: every pixel of the area).
    void hideCovered(const Occlusion* above, uint32_t level) {
        above_ = above;
        level_ = level;
    }

private:
    PixelTarget(uchar* bits, qsizetype stride, const QRect& clip, const QImage* image)
        : bits_(bits), stride_(stride), clip_(clip), image_(image) {}

    // A line a pixel wide, one or two pixels across each step along it (Wu's way).
    void thinLine(QPointF a, QPointF b, uint32_t color, bool smooth) const;
    // Steps from `from` to `to` of a line a pixel wide, away from its ends, where no shape
    // above hides a part; `across` as thinLine() counts it.
    void middleSteps(bool steep, bool smooth, int from, int to, int64_t across, int64_t step,
                     uint32_t color) const;
    // Steps from `from` to `to` of a hard line a pixel wide that runs more across than down: a
    // run of pixels for each row it passes along.
    void hardRuns(int from, int to, int64_t across, int64_t step, uint32_t color) const;
    // Steps from `from` to `to` of a line straight across (rows `at` and `at + 1`) or down
    // (steep: columns `at` and `at + 1`), at the two coverages; clipped across only.
    void straightRun(bool steep, int from, int to, int at, uint32_t color, uint32_t coverage,
                     uint32_t next) const;
    void streamFill(const QRect& r, QRgb color) const;
    // Calls paint(from, to) for each stretch of row y from first to last that shows.
    template <class Paint>
    void shown(int y, int first, int last, Paint&& paint) const {
        if (above_)
            above_->visible(y, first, last, level_, paint);
        else if (first <= last)
            paint(first, last);
    }
    // Whether a shape above the one painted covers the pixel; kept out of line, since the
    // loops that plot pixels one by one are quicker without it.
    __attribute__((noinline)) bool covered(int x, int y) const;
    // Coverage from 0 to 255.
    void plot(int x, int y, uint32_t color, uint32_t coverage) const;

    uint32_t* row(int y) const { return reinterpret_cast<uint32_t*>(bits_ + y * stride_); }

    uchar* bits_;
    qsizetype stride_;
    QRect clip_;
    const QImage* image_;
    const Occlusion* above_ = nullptr;
    uint32_t level_ = 0;
};

} // namespace pathwicks
