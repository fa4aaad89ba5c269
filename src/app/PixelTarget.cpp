#include "app/PixelTarget.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pathwicks {

namespace {

// Each byte of a premultiplied pixel times a / 255.
inline uint32_t times(uint32_t pixel, uint32_t a) {
    uint32_t redBlue = (pixel & 0xff00ff) * a;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    uint32_t alphaGreen = ((pixel >> 8) & 0xff00ff) * a;
    alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return alphaGreen | redBlue;
}

// A premultiplied colour over the pixel; an opaque one needs nothing of what lies below.
inline void over(uint32_t& pixel, uint32_t source) {
    pixel = source >= 0xff000000 ? source : source + times(pixel, 255 - (source >> 24));
}

// The colour at `coverage` (0 to 255) over the pixel.
inline void blend(uint32_t& pixel, uint32_t color, uint32_t coverage) {
    over(pixel, coverage >= 255 ? color : times(color, coverage));
}

// `count` pixels set to the colour, sixteen (a cache line) a step where there are as many.
inline void fillRun(uint32_t* pixels, int count, uint32_t color) {
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(int(color));
    int i = 0;
    for (; i + 4 * 4 <= count; i += 4 * 4) {
        auto* const at = reinterpret_cast<__m128i*>(pixels + i);
        _mm_storeu_si128(at, four);
        _mm_storeu_si128(at + 1, four);
        _mm_storeu_si128(at + 2, four);
        _mm_storeu_si128(at + 3, four);
    }
    for (; i + 4 <= count; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + i), four);
    for (; i < count; ++i)
        pixels[i] = color;
#else
    std::fill(pixels, pixels + count, color);
#endif
}

// How much of a pixel, as a square one wide, a band `half` to either side of a line covers
// when the pixel's centre lies `d` from the line.
double across(double d, double half) {
    return std::clamp(std::min(d + half, 0.5) - std::max(d - half, -0.5), 0.0, 1.0);
}

// A pixel's index for a coordinate, kept within what an int holds.
int pixelAt(double v) {
    v = std::clamp(v, -1e9, 1e9);
    const int i = int(v);
    return i > v ? i - 1 : i;
}

// A rectangular region in device pixels, when the region is one.
std::optional<QRect> asRect(const QRegion& region) {
    if (region.rectCount() != 1)
        return std::nullopt;
    return region.boundingRect();
}

#if defined(__SSE2__)
// Fills of at least this many pixels are streamed to memory.
constexpr qint64 streamedFill = 4 * 1024 * 1024;
#endif

// The coverage of a pixel by a line, from where its centre lies: `t` along the line from its
// start, `side` across it.
struct Stroke {
    double length;
    double half;
    PixelTarget::Cap cap;
    // Away from the ends, the coverage by the distance from the line in sixteenths of a
    // pixel, looked up instead of worked out; zero from `edges` on.
    std::array<uint8_t, 256> edge{};
    int edges = 0;

    Stroke(double length, double half, PixelTarget::Cap cap)
        : length(length), half(half), cap(cap) {
        edges = std::min(int(edge.size()), int(std::ceil((half + 0.5) * 16)));
        for (int i = 0; i < edges; ++i)
            edge[i] = uint8_t(across((i + 0.5) / 16, half) * 255 + 0.5);
    }

    // Whether a pixel that far along is clear of the ends.
    bool between(double t) const { return t >= 1 && t <= length - 1; }

    // The coverage away from the ends, 0 to 255.
    uint32_t edgeCoverage(double side) const {
        const int i = int(std::abs(side) * 16);
        return i < edges ? edge[i] : 0;
    }

    double coverage(double t, double side) const {
        side = std::abs(side);
        if (cap == PixelTarget::Cap::round) {
            const double beyond = t < 0 ? -t : t > length ? t - length : 0;
            return across(beyond > 0 ? std::sqrt(beyond * beyond + side * side) : side, half);
        }
        const double lengthwise = std::min(t + 0.5, length) - std::max(t - 0.5, 0.0);
        return across(side, half) * std::clamp(lengthwise, 0.0, 1.0);
    }

    // The pixels of a row, from `first` to `last`, that the line covers whole; t and side are
    // those of the first, and grow by along's x and y a pixel. None: from past to.
    std::pair<int, int> whole(double t, double side, QPointF along, int first, int last) const {
        double from = 0, to = last - first;
        // Where value + k * step lies within [low, high].
        auto within = [&](double value, double step, double low, double high) {
            if (step == 0) {
                if (value < low || value > high)
                    to = -1;
                return;
            }
            const double a = (low - value) / step, b = (high - value) / step;
            from = std::max(from, std::min(a, b));
            to = std::min(to, std::max(a, b));
        };
        within(side, along.y(), 0.5 - half, half - 0.5);
        within(t, along.x(), cap == PixelTarget::Cap::round ? 0 : 0.5,
               cap == PixelTarget::Cap::round ? length : length - 0.5);
        const double low = std::ceil(from), high = std::floor(to);
        if (!(half >= 0.5) || !(high >= low))
            return {last + 1, last};
        return {first + int(low), first + int(high)};
    }
};

// The colour at `coverage` (0 to 255) over each of `count` pixels: as blend() does, the
// colour worked out once.
void blendRun(uint32_t* pixels, int count, uint32_t color, uint32_t coverage) {
    const uint32_t source = coverage >= 255 ? color : times(color, coverage);
    if (source >= 0xff000000) {
        fillRun(pixels, count, source);
        return;
    }
    const uint32_t rest = 255 - (source >> 24);
    for (int i = 0; i < count; ++i)
        pixels[i] = source + times(pixels[i], rest);
}

// The coverage of one row of a wide line, from pixel `first` to `last`, handed to the sink:
// whole(from, to) for pixels covered whole, run(from, to, c) for pixels covered alike,
// pixel(x, c) for one.
template <class Sink>
void coverRow(int y, int first, int last, QPointF a, QPointF along, const Stroke& stroke,
              Sink& sink) {
    // Along and across the line from the first pixel's centre on, a pixel at a time.
    const double dx = first + 0.5 - a.x(), dy = y + 0.5 - a.y();
    double t = dx * along.x() + dy * along.y();
    double side = dx * along.y() - dy * along.x();
    // Between its edges and away from its ends a line covers whole pixels: those are filled,
    // only the others are weighed.
    const auto [plainFrom, plainTo] = stroke.whole(t, side, along, first, last);
    const bool table = (stroke.half + 0.5) * 16 <= double(stroke.edge.size());
    // A line straight across lies as far from every pixel of the row.
    const bool level = along.y() == 0;
    for (int x = first; x <= last; ++x, t += along.x(), side += along.y()) {
        if (x == plainFrom) {
            sink.whole(plainFrom, plainTo);
            t += along.x() * (plainTo - x);
            side += along.y() * (plainTo - x);
            x = plainTo;
            continue;
        }
        if (table && stroke.between(t)) {
            const uint32_t c = stroke.edgeCoverage(side);
            int end = x;
            for (; level && end < last && end + 1 != plainFrom &&
                   stroke.between(t + along.x());
                 ++end)
                t += along.x();
            if (c && end > x)
                sink.run(x, end, c);
            else if (c)
                sink.pixel(x, c);
            x = end;
            continue;
        }
        const double c = stroke.coverage(t, side);
        if (c > 0)
            sink.pixel(x, uint32_t(c * 255 + 0.5));
    }
}

// Paints what coverRow finds into a row of pixels.
struct RowPainter {
    uint32_t* pixels;
    uint32_t color;
    void whole(int from, int to) const { blendRun(pixels + from, to - from + 1, color, 255); }
    void run(int from, int to, uint32_t c) const {
        blendRun(pixels + from, to - from + 1, color, c);
    }
    void pixel(int x, uint32_t c) {
        // Along a line nearly straight across, over a plain fill, a pixel mostly ends as the
        // one before it did: the last blend is kept.
        uint32_t& target = pixels[x];
        if (c == lastCoverage && target == lastBelow) {
            target = lastResult;
            return;
        }
        lastCoverage = c;
        lastBelow = target;
        blend(target, color, c);
        lastResult = target;
    }
    uint32_t lastCoverage = 256, lastBelow = 0, lastResult = 0;
};

// Keeps what coverRow finds, by column from `first` on: for a line straight down, whose rows
// between its ends are all alike.
struct RowCoverage {
    int first = 0;
    int last = -1;
    std::array<uint8_t, 40> coverage{};
    void whole(int from, int to) { run(from, to, 255); }
    void run(int from, int to, uint32_t c) {
        for (int x = from; x <= to; ++x)
            pixel(x, c);
    }
    void pixel(int x, uint32_t c) { coverage[size_t(x - first)] = uint8_t(c); }
};

// The pixels within reach of a wide line, row by row: they move steadily along as rows go
// down.
struct Band {
    QPointF a;
    double left, right, slant = 0, spread = 0;
    bool upright;
    int top, bottom;

    Band(QPointF a, QPointF along, double length, double reach, const QRect& clip) : a(a) {
        const QPointF end = a + along * length;
        left = std::min(a.x(), end.x()) - reach;
        right = std::max(a.x(), end.x()) + reach;
        top = std::max(clip.top(), pixelAt(std::min(a.y(), end.y()) - reach));
        bottom = std::min(clip.bottom(), pixelAt(std::max(a.y(), end.y()) + reach));
        upright = std::abs(along.y()) > 1e-9;
        if (upright) {
            slant = along.x() / along.y();
            spread = reach / std::abs(along.y());
        }
    }

    std::pair<int, int> columns(int y, const QRect& clip) const {
        double from = left, to = right;
        if (upright) {
            const double x = a.x() + (y + 0.5 - a.y()) * slant;
            from = std::max(from, x - spread);
            to = std::min(to, x + spread);
        }
        return {std::max(clip.left(), pixelAt(from)), std::min(clip.right(), pixelAt(to))};
    }
};

// The steps along a line a pixel wide: along its longer direction, with pixel centres on whole
// numbers, only those that can land inside the clip.
struct Steps {
    bool steep;
    double x0, x1;   // where the line starts and ends along
    int first, last; // the steps inside the clip
    int64_t across;  // at the first, in sixteenths of a sixteenth of a pixel
    int64_t step;    // added each step

    // The steps inside the clip `c` of `image`: counted on from the first inside the image,
    // whatever the clip, so that a line crossing the clip's edge goes on past it with the same
    // steps, as when an image is painted in parts.
    static std::optional<Steps> of(QPointF a, QPointF b, const QRect& c, const QRect& image) {
        const bool steep = std::abs(b.y() - a.y()) > std::abs(b.x() - a.x());
        double x0 = (steep ? a.y() : a.x()) - 0.5, y0 = (steep ? a.x() : a.y()) - 0.5;
        double x1 = (steep ? b.y() : b.x()) - 0.5, y1 = (steep ? b.x() : b.y()) - 0.5;
        if (x0 > x1) {
            std::swap(x0, x1);
            std::swap(y0, y1);
        }
        const double slope = x1 > x0 ? (y1 - y0) / (x1 - x0) : 0;
        // The first and last steps that can land inside r.
        auto within = [&](const QRect& r) -> std::optional<std::pair<int, int>> {
            const int lowest = steep ? r.top() : r.left(), highest = steep ? r.bottom() : r.right();
            int first = std::max(lowest, pixelAt(x0 + 0.5));
            int last = std::min(highest, pixelAt(x1 + 0.5));
            // Nor those that pass beside it.
            const int across0 = (steep ? r.left() : r.top()) - 1;
            const int across1 = (steep ? r.right() : r.bottom()) + 1;
            if (slope != 0) {
                const double enter = x0 + (across0 - y0) / slope;
                const double leave = x0 + (across1 - y0) / slope;
                first = std::max(first, pixelAt(std::min(enter, leave)) - 1);
                last = std::min(last, pixelAt(std::max(enter, leave)) + 1);
            } else if (y0 < across0 || y0 > across1) {
                return std::nullopt;
            }
            return std::pair{first, last};
        };
        const auto inClip = within(c), inImage = c == image ? inClip : within(image);
        if (!inClip || !inImage)
            return std::nullopt;
        const auto [first, last] = *inClip;
        const int from = std::min(first, inImage->first);
        const int64_t step = std::llround(slope * 65536);
        return Steps{steep, x0, x1, first, last,
                     std::llround(std::clamp(y0 + (from - x0) * slope, -1e9, 1e9) * 65536) +
                         (first - int64_t(from)) * step,
                     step};
    }
};

// The last step from i on of a line a pixel wide that lies wholly between its ends x0 and x1
// (i - 1: i does not).
int middleEnd(int i, int last, double x0, double x1) {
    if (i - 0.5 < x0 || i + 0.5 > x1)
        return i - 1;
    // Those after i lie past the near end: the last before the far one.
    if (last + 0.5 <= x1)
        return last;
    int end = std::clamp(int(std::floor(x1 - 0.5)), i, last);
    while (end > i && end + 0.5 > x1)
        --end;
    while (end < last && end + 1 + 0.5 <= x1)
        ++end;
    return end;
}

// A wide line straight down covers each row between its ends alike: the first such row's
// coverage is kept for the others.
class StraightDown {
public:
    StraightDown(bool on, std::pair<int, int> columns) {
        std::tie(coverage_.first, coverage_.last) = columns;
        on_ = on && coverage_.last - coverage_.first < int(coverage_.coverage.size());
    }

    // Paints the row when it lies between the line's ends, and is as wide as the first.
    bool paint(uint32_t* pixels, int y, int first, int last, QPointF a, QPointF along,
               const Stroke& stroke, uint32_t color) {
        if (!on_ || first != coverage_.first || last != coverage_.last || first > last ||
            !stroke.between((first + 0.5 - a.x()) * along.x() + (y + 0.5 - a.y()) * along.y()))
            return false;
        if (!made_) {
            coverRow(y, first, last, a, along, stroke, coverage_);
            made_ = true;
        }
        for (int x = first; x <= last; ++x)
            if (const uint32_t c = coverage_.coverage[size_t(x - first)])
                blend(pixels[x], color, c);
        return true;
    }

private:
    RowCoverage coverage_;
    bool made_ = false;
    bool on_ = false;
};

} // namespace

std::optional<PixelTarget> PixelTarget::of(const QPainter& painter) {
    QPaintEngine* engine = painter.paintEngine();
    if (!painter.isActive() || !engine || engine->type() != QPaintEngine::Raster ||
        !engine->paintDevice() || engine->paintDevice()->devType() != QInternal::Image)
        return std::nullopt;
    auto* image = static_cast<QImage*>(engine->paintDevice());
    if ((image->format() != QImage::Format_RGB32 &&
         image->format() != QImage::Format_ARGB32_Premultiplied) ||
        painter.opacity() < 1 || painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return std::nullopt;
    QRect clip = image->rect();
    if (const QRegion system = engine->systemClip(); !system.isEmpty()) {
        const auto rect = asRect(system);
        if (!rect)
            return std::nullopt;
        clip &= *rect;
    }
    if (painter.hasClipping()) {
        const auto rect = asRect(painter.deviceTransform().map(painter.clipRegion()));
        if (!rect)
            return std::nullopt;
        clip &= *rect;
    }
    // The painter has made the image its own, so writing to it changes no other copy.
    return PixelTarget(const_cast<uchar*>(image->constBits()), image->bytesPerLine(), clip,
                       image);
}

#if defined(__SSE2__)
namespace {

// Pixels of a cache line, of 64 bytes: streaming part of one is many times slower.
constexpr int cacheLine = 16;

// Pixels first to last of a row streamed to memory, widened to whole cache lines within
// `left` to `right` but for those up to `done`, which it moves on.
void streamRun(uint32_t* pixels, int first, int last, int left, int right, int& done,
               uint32_t color) {
    const int skew = int((reinterpret_cast<uintptr_t>(pixels) / 4) % cacheLine);
    first = std::max({left, done + 1, first - (first + skew) % cacheLine});
    last = std::min(right, last + cacheLine - 1 - (last + skew) % cacheLine);
    const __m128i four = _mm_set1_epi32(int(color));
    uint32_t* pixel = pixels + first;
    uint32_t* const end = pixels + last + 1;
    for (; pixel < end && (reinterpret_cast<uintptr_t>(pixel) & 15) != 0; ++pixel)
        *pixel = color;
    // A cache line a step, as most of a run is.
    for (; pixel + 4 * 4 <= end; pixel += 4 * 4) {
        auto* const at = reinterpret_cast<__m128i*>(pixel);
        _mm_stream_si128(at, four);
        _mm_stream_si128(at + 1, four);
        _mm_stream_si128(at + 2, four);
        _mm_stream_si128(at + 3, four);
    }
    for (; pixel + 4 <= end; pixel += 4)
        _mm_stream_si128(reinterpret_cast<__m128i*>(pixel), four);
    for (; pixel < end; ++pixel)
        *pixel = color;
    done = std::max(done, last);
}

// Where the rows of a fill show between holes: the holes that reach across each row in turn,
// for rows from the top down.
class Gaps {
public:
    Gaps(std::vector<QRect> holes, int left, int right)
        : holes_(std::move(holes)), left_(left), right_(right) {
        std::sort(holes_.begin(), holes_.end(),
                  [](const QRect& a, const QRect& b) { return a.top() < b.top(); });
    }

    // The stretches of row y outside every hole, in order; rows go down one by one.
    const std::vector<std::pair<int, int>>& of(int y) {
        bool changed = gaps_.empty() && across_.empty();
        for (; next_ < holes_.size() && holes_[next_].top() <= y; ++next_, changed = true)
            across_.push_back(holes_[next_]);
        changed |= std::erase_if(across_, [y](const QRect& h) { return h.bottom() < y; }) > 0;
        if (!changed)
            return gaps_;
        std::sort(across_.begin(), across_.end(),
                  [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
        gaps_.clear();
        int x = left_;
        for (const QRect& h : across_) {
            if (h.left() > x && x <= right_)
                gaps_.emplace_back(x, std::min(h.left() - 1, right_));
            x = std::max(x, h.right() + 1);
        }
        if (x <= right_)
            gaps_.emplace_back(x, right_);
        return gaps_;
    }

private:
    std::vector<QRect> holes_, across_;
    size_t next_ = 0;
    int left_, right_;
    std::vector<std::pair<int, int>> gaps_;
};

} // namespace

void PixelTarget::streamFill(const QRect& r, QRgb color) const {
    for (int y = r.top(); y <= r.bottom(); ++y) {
        uint32_t* const pixels = row(y);
        int done = r.left() - 1;
        // Widened to whole lines: shapes above paint over what they cover again.
        shown(y, r.left(), r.right(), [&](int first, int last) {
            streamRun(pixels, first, last, r.left(), r.right(), done, color);
        });
    }
    _mm_sfence();
}
#endif

void PixelTarget::fill(const QRect& area, QRgb premultiplied, std::vector<QRect> holes) const {
    const QRect r = area & clip_;
#if defined(__SSE2__)
    if (qAlpha(premultiplied) == 255 && streams(r) && !above_) {
        Gaps gaps(std::move(holes), r.left(), r.right());
        for (int y = r.top(); y <= r.bottom(); ++y) {
            uint32_t* const pixels = row(y);
            int done = r.left() - 1;
            for (const auto& [first, last] : gaps.of(y))
                streamRun(pixels, first, last, r.left(), r.right(), done, premultiplied);
        }
        _mm_sfence();
        return;
    }
#endif
    fill(r, premultiplied);
}

bool PixelTarget::streams(const QRect& area) {
#if defined(__SSE2__)
    return qint64(area.width()) * area.height() >= streamedFill;
#else
    return false;
#endif
}

void PixelTarget::fill(const QRect& area, const QColor& color) const {
    fill(area, qPremultiply(color.rgba()));
}

void PixelTarget::fill(const QRect& area, QRgb premultiplied) const {
    const QRect r = area & clip_;
    if (r.isEmpty())
        return;
#if defined(__SSE2__)
    // A fill of many megabytes, as a background at a device pixel ratio of 2 is, goes straight
    // to memory: twice as quick as through the caches it would only pass through.
    if (qAlpha(premultiplied) == 255 && streams(r)) {
        streamFill(r, premultiplied);
        return;
    }
#endif
    const bool opaque = qAlpha(premultiplied) == 255;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        uint32_t* pixels = row(y);
        shown(y, r.left(), r.right(), [&](int first, int last) {
            if (opaque) {
                fillRun(pixels + first, last - first + 1, premultiplied);
                return;
            }
            for (int x = first; x <= last; ++x)
                blend(pixels[x], premultiplied, 255);
        });
    }
}

void PixelTarget::framed(const QRect& outer, QRgb rim, QRgb inside) const {
    const int left = std::max(outer.left(), clip_.left());
    const int right = std::min(outer.right(), clip_.right());
    const int top = std::max(outer.top(), clip_.top());
    const int bottom = std::min(outer.bottom(), clip_.bottom());
    for (int y = top; y <= bottom && left <= right; ++y) {
        uint32_t* pixels = row(y);
        const bool edge = y == outer.top() || y == outer.bottom();
        shown(y, left, right, [&](int first, int last) {
            fillRun(pixels + first, last - first + 1, edge ? rim : inside);
            if (outer.left() >= first && outer.left() <= last)
                pixels[outer.left()] = rim;
            if (outer.right() >= first && outer.right() <= last)
                pixels[outer.right()] = rim;
        });
    }
}

void PixelTarget::rounded(const QRect& o, const QImage& corners, int k, int w,
                          std::optional<QRgb> rim, std::optional<QRgb> inside) const {
    const int l = o.left(), t = o.top(), r = l + o.width(), b = t + o.height();
    const int left = std::max(l, clip_.left()), right = std::min(r - 1, clip_.right());
    const int top = std::max(t, clip_.top()), bottom = std::min(b - 1, clip_.bottom());
    const uchar* const bits = corners.constBits();
    const qsizetype stride = corners.bytesPerLine();
    for (int y = top; y <= bottom && left <= right; ++y) {
        uint32_t* const pixels = row(y);
        const bool corner = y < t + k || y >= b - k;
        // The picture's rows above its middle one are the top corners', those below the
        // bottom ones'; its columns likewise.
        const auto* picture = reinterpret_cast<const uint32_t*>(
            bits + (y < t + k ? y - t : y - (b - k) + k + 1) * stride);
        const std::optional<QRgb> across = y < t + w || y >= b - w ? rim : inside;
        shown(y, left, right, [&](int first, int last) {
            // The part of the stretch from a to just before e.
            auto part = [&](int a, int e, auto&& paint) {
                a = std::max(a, first);
                e = std::min(e, last + 1);
                if (a < e)
                    paint(a, e);
            };
            auto fillWith = [&](QRgb color) {
                return [&, color](int a, int e) { fillRun(pixels + a, e - a, color); };
            };
            auto overFrom = [&](int shift) {
                return [&, shift](int a, int e) {
                    for (int x = a; x < e; ++x)
                        over(pixels[x], picture[x - shift]);
                };
            };
            if (corner) {
                part(l, l + k, overFrom(l));
                if (across)
                    part(l + k, r - k, fillWith(*across));
                part(r - k, r, overFrom(r - 2 * k - 1));
                return;
            }
            if (rim && w > 0) {
                part(l, l + w, fillWith(*rim));
                part(r - w, r, fillWith(*rim));
            }
            if (inside)
                part(l + w, r - w, fillWith(*inside));
        });
    }
}

void PixelTarget::draw(QPoint at, const QImage& image, const QRect& source) const {
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    const QPoint offset = at - source.topLeft();
    const QRect to = (source & image.rect()).translated(offset) & clip_;
    for (int y = to.top(); y <= to.bottom(); ++y) {
        const auto* colors = reinterpret_cast<const uint32_t*>(image.constScanLine(y - offset.y()));
        uint32_t* pixels = row(y);
        shown(y, to.left(), to.right(), [&](int first, int last) {
            for (int x = first; x <= last; ++x)
                over(pixels[x], colors[x - offset.x()]);
        });
    }
}

void PixelTarget::copy(QPoint at, const QImage& image,
                       const std::vector<std::pair<int, int>>* columns) const {
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    const QRect to = image.rect().translated(at) & clip_;
    for (int y = to.top(); y <= to.bottom(); ++y) {
        const auto* colors = reinterpret_cast<const uint32_t*>(image.constScanLine(y - at.y()));
        uint32_t* pixels = row(y);
        int left = to.left(), right = to.right();
        if (columns) {
            const auto [first, last] = (*columns)[size_t(y - at.y())];
            left = std::max(left, at.x() + first);
            right = std::min(right, at.x() + last);
        }
        shown(y, left, right, [&](int first, int last) {
            std::copy(colors + first - at.x(), colors + last + 1 - at.x(), pixels + first);
        });
    }
}

bool PixelTarget::covered(int x, int y) const {
    return above_->covers(x, y, level_);
}

inline void PixelTarget::plot(int x, int y, uint32_t color, uint32_t coverage) const {
    if (coverage > 0 && x >= clip_.left() && x <= clip_.right() && y >= clip_.top() &&
        y <= clip_.bottom() && !(above_ && covered(x, y)))
        blend(row(y)[x], color, coverage);
}

void PixelTarget::thinLine(QPointF a, QPointF b, uint32_t color, bool smooth) const {
    const auto steps = Steps::of(a, b, clip_, image_->rect());
    if (!steps)
        return;
    const auto [steep, x0, x1, first, last, start, step] = *steps;
    // Away from its ends, where no shape above hides a part, a line is painted step by step
    // without the checks its ends need.
    auto middle = [&](int i) { return above_ ? i - 1 : middleEnd(i, last, x0, x1); };
    int64_t across = start;
    const QRect& c = clip_;
    if (!smooth) {
        // One pixel a step, nearest the line, where the line spans at least half the step.
        const int low = steep ? c.left() : c.top(), high = steep ? c.right() : c.bottom();
        across += 0x8000;
        for (int i = first; i <= last; ++i, across += step) {
            if (const int end = middle(i); end >= i) {
                middleSteps(steep, false, i, end, across, step, color);
                across += step * (end - i);
                i = end;
                continue;
            }
            if ((i - 0.5 < x0 || i + 0.5 > x1) &&
                std::min(i + 0.5, x1) - std::max(i - 0.5, x0) < 0.5)
                continue;
            const int nearest = int(across >> 16);
            if (nearest >= low && nearest <= high)
                plot(steep ? nearest : i, steep ? i : nearest, color, 255);
        }
        return;
    }
    for (int i = first; i <= last; ++i, across += step) {
        if (const int end = middle(i); end >= i) {
            middleSteps(steep, true, i, end, across, step, color);
            across += step * (end - i);
            i = end;
            continue;
        }
        // The share of this step the line spans, less at its ends.
        double span = 1;
        if (i - 0.5 < x0 || i + 0.5 > x1) {
            span = std::min(i + 0.5, x1) - std::max(i - 0.5, x0);
            if (span <= 0)
                continue;
        }
        const int below = int(across >> 16);
        const uint32_t part = uint32_t(across & 0xffff) >> 8;
        // Each step of a steep line is another row, far from the last in memory: the pixels a
        // few steps on are asked for early, which makes long lines several times quicker.
        if (steep) {
            const int ahead = i + 8, at = int((across + 8 * step) >> 16);
            if (ahead <= c.bottom() && at >= c.left() && at <= c.right() &&
                !(above_ && above_->surelyHides(ahead, at, at, level_)))
                __builtin_prefetch(row(ahead) + at, 1);
        }
        plot(steep ? below : i, steep ? i : below, color, uint32_t((255 - part) * span + 0.5));
        plot(steep ? below + 1 : i, steep ? i : below + 1, color, uint32_t(part * span + 0.5));
    }
}

void PixelTarget::middleSteps(bool steep, bool smooth, int from, int to, int64_t across,
                              int64_t step, uint32_t color) const {
    if (step == 0) {
        const uint32_t part = smooth ? uint32_t(across & 0xffff) >> 8 : 0;
        straightRun(steep, from, to, int(across >> 16), color, 255 - part, part);
        return;
    }
    if (!smooth && !steep) {
        hardRuns(from, to, across, step, color);
        return;
    }
    const QRect& c = clip_;
    const int low = steep ? c.left() : c.top(), high = steep ? c.right() : c.bottom();
    auto pixel = [&](int i, int at) -> uint32_t& { return steep ? row(i)[at] : row(at)[i]; };
    // Along a long line, the colour at each coverage is worked out once.
    std::array<uint32_t, 256> sources;
    const bool lengthy = smooth && to - from >= int(sources.size());
    for (uint32_t k = 0; lengthy && k < sources.size(); ++k)
        sources[k] = k >= 255 ? color : times(color, k);
    auto paint = [&](uint32_t& target, uint32_t coverage) {
        if (!lengthy) {
            blend(target, color, coverage);
            return;
        }
        over(target, sources[coverage]);
    };
    for (int i = from; i <= to; ++i, across += step) {
        const int at = int(across >> 16);
        if (!smooth) {
            if (at >= low && at <= high)
                blend(pixel(i, at), color, 255);
            continue;
        }
        const uint32_t part = uint32_t(across & 0xffff) >> 8;
        if (steep && i + 8 <= c.bottom()) {
            const int ahead = int((across + 8 * step) >> 16);
            if (ahead >= c.left() && ahead <= c.right())
                __builtin_prefetch(row(i + 8) + ahead, 1);
        }
        if (part < 255 && at >= low && at <= high)
            paint(pixel(i, at), 255 - part);
        if (part > 0 && at + 1 >= low && at + 1 <= high)
            paint(pixel(i, at + 1), part);
    }
}

void PixelTarget::hardRuns(int from, int to, int64_t across, int64_t step,
                           uint32_t color) const {
    constexpr int64_t pixel = 1 << 16;
    for (int i = from; i <= to;) {
        const int at = int(across >> 16);
        // The steps until the line passes to the next row.
        const int64_t steps = step > 0 ? ((int64_t(at) + 1) * pixel - across + step - 1) / step
                                       : (across - int64_t(at) * pixel) / -step + 1;
        const int end = int(std::min<int64_t>(to, i + steps - 1));
        if (at >= clip_.top() && at <= clip_.bottom())
            blendRun(row(at) + i, end - i + 1, color, 255);
        across += step * (end - i + 1);
        i = end + 1;
    }
}

void PixelTarget::straightRun(bool steep, int from, int to, int at, uint32_t color,
                              uint32_t coverage, uint32_t next) const {
    if (!steep) {
        for (const auto& [y, c] : {std::pair{at, coverage}, {at + 1, next}})
            if (c > 0 && y >= clip_.top() && y <= clip_.bottom())
                blendRun(row(y) + from, to - from + 1, color, c);
        return;
    }
    const bool here = coverage > 0 && at >= clip_.left() && at <= clip_.right();
    const bool beside = next > 0 && at + 1 >= clip_.left() && at + 1 <= clip_.right();
    for (int y = from; y <= to; ++y) {
        // Each step is another row, far from the last in memory: asked for early.
        if (y + 8 <= to)
            __builtin_prefetch(row(y + 8) + at, 1);
        uint32_t* pixels = row(y);
        if (here)
            blend(pixels[at], color, coverage);
        if (beside)
            blend(pixels[at + 1], color, next);
    }
}

void PixelTarget::line(QPointF a, QPointF b, double width, Cap cap, const QColor& color,
                       bool smooth) const {
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) ||
        !std::isfinite(b.y()) || !(width > 0))
        return;
    const uint32_t premultiplied = qPremultiply(color.rgba());
    if (width < 1.5) {
        thinLine(a, b, premultiplied, smooth);
        return;
    }
    const double half = width / 2;
    QPointF d = b - a;
    double length = std::hypot(d.x(), d.y());
    if (length == 0 && cap != Cap::round)
        return;
    const QPointF along = length > 0 ? d / length : QPointF(1, 0);
    if (cap == Cap::square) {
        a -= along * half;
        length += width;
    }
    const Stroke stroke(length, half, cap);
    // Every pixel within reach of the band is looked at, row by row, between the band's
    // edges where they cross the row.
    const Band band(a, along, length, half + 0.5, clip_);
    auto columns = [&](int y) { return band.columns(y, clip_); };
    const int top = band.top, bottom = band.bottom;
    // Where no shape above hides a part.
    StraightDown straight(along.x() == 0 && !above_ &&
                              (stroke.half + 0.5) * 16 <= double(stroke.edge.size()),
                          columns(top));
    for (int y = top; y <= bottom; ++y) {
        const auto [first, last] = columns(y);
        if (above_) {
            // Where boxes above surely cover the rest of a tile's rows, they are passed at once.
            const int end = std::min(bottom, above_->lastOfTile(y));
            const auto [endFirst, endLast] = columns(end);
            const int low = std::min(first, endFirst), high = std::max(last, endLast);
            if (low <= high && above_->surelyHides(y, low, high, level_)) {
                y = end;
                continue;
            }
        }
        // A steep line's next rows lie far apart in memory: asked for early.
        if (y + 4 <= bottom && first <= last &&
            !(above_ && above_->surelyHides(y + 4, first, last, level_)))
            __builtin_prefetch(row(y + 4) + first, 1);
        if (straight.paint(row(y), y, first, last, a, along, stroke, premultiplied))
            continue;
        shown(y, first, last, [&](int from, int to) {
            RowPainter painter{row(y), premultiplied};
            coverRow(y, from, to, a, along, stroke, painter);
        });
    }
}

} // namespace pathwicks
