#include "app/DrawListPainter.h"

#include "app/CrispShapes.h"
#include "app/Occlusion.h"
#include "app/PaintingThread.h"
#include "app/PixelTarget.h"
#include "app/TitleStamps.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace pathwicks {

namespace {

double clamped(double component) {
    return std::isfinite(component) ? std::clamp(component, 0.0, 1.0) : 0;
}

QColor toQColor(const Color& c) {
    return QColor::fromRgbF(float(clamped(c.red)), float(clamped(c.green)), float(clamped(c.blue)),
                            float(clamped(c.alpha)));
}

QRectF toQRect(const Rect& r) {
    return QRectF(r.minX(), r.minY(), r.maxX() - r.minX(), r.maxY() - r.minY());
}

// Width 0 is Qt's cosmetic pen: one device pixel, the thinnest line there is.
QPen pen(const Color& color, double width, Qt::PenCapStyle cap) {
    return QPen(toQColor(color), width, Qt::SolidLine, cap, Qt::MiterJoin);
}

// What a drawing needs to know of where it goes: view pixels per unit of the list, and where
// the device's pixels lie, when edges can be put on them.
struct Device {
    const QtTextMeasurer& fonts;
    double scale = 1;
    std::optional<PixelMap> pixels;
    std::optional<PixelTarget> target; // only with pixels
    // With a target: the ops that boxes above hide whole, by their place in the list.
    std::vector<char> hidden;
    const Occlusion* above = nullptr;
    // The lines of the title being painted over the box at `titleBox` in the list: the device
    // pixels their stamps wrote, while every line so far was stamped.
    size_t titleBox = SIZE_MAX;
    QRect titleInk;
    // With a target: its area in the list's units, a device pixel wider all round.
    Rect reach;

    // Whether the op at i shows at all; if so, what the target paints for it from now on
    // leaves out the pixels boxes above it cover.
    bool shows(size_t i) {
        if (hidden.empty())
            return true;
        if (hidden[i])
            return false;
        target->hideCovered(above, uint32_t(i));
        return true;
    }
};

// A round cap on a line at most this many device pixels wide covers the pixels a square one
// does, within a fraction of the corner pixels: it is painted square, with the line.
constexpr double widestSquareCap = 3;

bool squareLooksRound(double lineWidth, const Device& device) {
    const double pixelsPerUnit = device.pixels ? device.pixels->scale : device.scale;
    return lineWidth * pixelsPerUnit <= widestSquareCap;
}

void paint(QPainter& p, const RectOp& op, const Device& device) {
    if (device.pixels &&
        paintCrispBox(p, op, *device.pixels, device.target ? &*device.target : nullptr))
        return;
    p.setBrush(op.fill ? QBrush(toQColor(*op.fill)) : QBrush(Qt::NoBrush));
    p.setPen(op.stroke ? pen(*op.stroke, op.lineWidth, Qt::FlatCap) : QPen(Qt::NoPen));
    // Corners rounded by less than a pixel look square, and square ones paint much faster.
    if (op.radius * device.scale >= 1)
        p.drawRoundedRect(toQRect(op.rect), op.radius, op.radius);
    else
        p.drawRect(toQRect(op.rect));
}

// Far out, a canvas is thousands of small plain boxes and lines: runs of them in one style are
// painted with one call each, lines thinner than a pixel as the thinnest line there is. Only
// opaque shapes, where painting overlaps twice shows no difference.
constexpr double smallScale = 0.5;

// Solid lines straight into the device's pixels, each with the ends it would have stroked: one
// pixel wide at least, as the painter's thinnest line. Lines of a colour that is not opaque
// are left to the painter, which paints where they meet once.
bool paintDirect(const LinesOp& op, const Device& device, std::optional<QColor> color = {}) {
    if (!device.target || !op.dashPattern.empty() ||
        (clamped(op.color.alpha) < 1 && op.lines.size() > 1))
        return false;
    const PixelMap& map = *device.pixels;
    const double width = std::max(op.lineWidth * map.scale, 1.0);
    const auto cap = op.cap == LineCap::round ? PixelTarget::Cap::round : PixelTarget::Cap::flat;
    if (!color)
        color = toQColor(op.color);
    for (const Line& line : op.lines)
        device.target->line(QPointF(map.x(line.from.x), map.y(line.from.y)),
                            QPointF(map.x(line.to.x), map.y(line.to.y)), width, cap, *color,
                            device.scale >= smallScale);
    return true;
}

// The op's dashes on the pen, or as faint a solid line when they are a pixel or two long.
void setDashes(QPen& stroke, const LinesOp& op, const Device& device) {
    double period = 0;
    for (double length : op.dashPattern)
        period += std::abs(length);
    if (!op.dashPattern.empty() && period * device.scale < 3) {
        // Dashes a pixel or two long are a haze: a solid line as faint as the dashes are
        // sparse looks the same, and needs no thousands of dashes stroked.
        double dashes = 0;
        for (size_t i = 0; i < op.dashPattern.size(); i += 2)
            dashes += std::abs(op.dashPattern[i]);
        QColor faint = toQColor(op.color);
        faint.setAlphaF(faint.alphaF() * float(period > 0 ? dashes / period : 1));
        stroke.setColor(faint);
    } else if (!op.dashPattern.empty()) {
        // Qt counts dashes in line widths.
        const double unit = op.lineWidth > 0 ? op.lineWidth : 1;
        QList<qreal> pattern;
        for (double length : op.dashPattern)
            pattern.append(length / unit);
        if (pattern.size() % 2)
            pattern.append(pattern); // an odd pattern repeats once to alternate dash and gap
        stroke.setDashPattern(pattern);
        stroke.setDashOffset(op.dashPhase / unit);
    }
}

void paint(QPainter& p, const LinesOp& op, const Device& device) {
    if (device.pixels &&
        paintCrispLines(p, op, *device.pixels, device.target ? &*device.target : nullptr))
        return;
    if (paintDirect(op, device))
        return;
    QPainterPath path;
    for (const Line& line : op.lines) {
        path.moveTo(line.from.x, line.from.y);
        path.lineTo(line.to.x, line.to.y);
    }
    // Qt strokes long antialiased lines with round caps ten times slower than with flat ones,
    // so round caps are painted as discs on the line ends instead: the same shape, and a
    // canvas full of arrows stays quick to draw.
    // Caps on lines thinner than a pixel or two cannot be told from flat ones.
    const bool roundCaps =
        op.cap == LineCap::round && op.lineWidth > 0 && op.lineWidth * device.scale >= 1.5;
    const bool discs = roundCaps && !squareLooksRound(op.lineWidth, device);
    QPen stroke = pen(op.color, op.lineWidth, roundCaps && !discs ? Qt::SquareCap : Qt::FlatCap);
    setDashes(stroke, op, device);
    if (device.target && stroke.widthF() > 0) {
        // Stroked here and filled: where a clip cuts a path, the painter strokes it a shade
        // differently on either side, and a frame painted in bands would show where they meet.
        const QPainterPath outline =
            p.worldTransform().map(QPainterPathStroker(stroke).createStroke(path));
        p.save();
        p.resetTransform();
        p.fillPath(outline, stroke.color());
        p.restore();
    } else {
        p.setPen(stroke);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }

    if (discs) {
        QPainterPath caps;
        const double radius = op.lineWidth / 2;
        for (const Line& line : op.lines) {
            for (const Point& end : {line.from, line.to})
                caps.addEllipse(QPointF(end.x, end.y), radius, radius);
        }
        caps.setFillRule(Qt::WindingFill); // where ends meet, the discs are painted once
        p.setPen(Qt::NoPen);
        p.setBrush(toQColor(op.color));
        p.drawPath(caps);
    }
}

// Where a title's glyphs go: on a whole device pixel, as the text would start at that size
// unscaled, when the device's pixels are known.
struct TextPlace {
    QPointF start; // on the baseline
    QPointF topLeft;
    QRectF glyphs;
    QRectF clip;
    bool clipped = false;
};

TextPlace placeOf(const TextOp& op, const Device& device) {
    const QtTextMeasurer::Lines& lines = device.fonts.lines(op.style);
    QPointF start(op.centerX - op.width / 2, op.baseline);
    if (const auto& map = device.pixels) {
        start.rx() += (std::round(map->x(start.x())) - map->x(start.x())) / map->scale;
        start.ry() += (std::round(map->y(start.y())) - map->y(start.y())) / map->scale;
    }
    const QRectF glyphs(start.x(), start.y() - lines.ascent, op.width, lines.height);
    const QRectF clip = toQRect(op.clip);
    // Clipping is costly; most titles lie well inside their box.
    return {start, glyphs.topLeft(), glyphs, clip, !clip.contains(glyphs)};
}

void paint(QPainter& p, const TextOp& op, const Device& device) {
    const TextPlace place = placeOf(op, device);
    if (place.clipped) {
        p.save();
        p.setClipRect(place.clip, Qt::IntersectClip);
    }
    p.setFont(device.fonts.font(op.style));
    p.setPen(toQColor(op.color));
    p.drawStaticText(place.topLeft, device.fonts.preparedText(op.text, op.style));
    if (place.clipped)
        p.restore();
}

bool isOpaque(const std::optional<Color>& color) {
    return !color || clamped(color->alpha) >= 1;
}

// Far out, corners rounded by under two pixels on a box of a few are not missed either.
bool batchable(const RectOp& op, double scale) {
    return op.radius * scale < (scale < smallScale ? 2 : 1) && isOpaque(op.fill) &&
           isOpaque(op.stroke);
}

// Far out, a box whose outline is under a pixel is filled in whole device pixels, alone or in
// a run: so it looks the same whatever the list holds around it.
bool filledInPixels(const RectOp& op, const Device& device) {
    return device.pixels && device.scale < smallScale && op.lineWidth * device.scale < 1 &&
           batchable(op, device.scale);
}

bool sameStyle(const RectOp& a, const RectOp& b) {
    return a.fill == b.fill && a.stroke == b.stroke && a.lineWidth == b.lineWidth;
}

bool batchable(const LinesOp& op, const Device& device) {
    return op.dashPattern.empty() && clamped(op.color.alpha) >= 1 &&
           (op.cap == LineCap::butt || op.lineWidth * device.scale < 1.5 ||
            squareLooksRound(op.lineWidth, device));
}

bool sameStyle(const LinesOp& a, const LinesOp& b) {
    return a.color == b.color && a.lineWidth == b.lineWidth && a.cap == b.cap;
}

// Lines up to a pixel and a half wide are painted as the thinnest line there is, one device
// pixel, which Qt strokes many times faster than a wider one.
double deviceWidth(double width, const Device& device) {
    const double pixelsPerUnit = device.pixels ? device.pixels->scale : device.scale;
    return width * pixelsPerUnit < 1.5 ? 0 : width;
}

// The device pixels a rectangle touches.
QRect coveredPixels(const Rect& rect, const PixelMap& map) {
    return QRectF(QPointF(map.x(rect.minX()), map.y(rect.minY())),
                  QPointF(map.x(rect.maxX()), map.y(rect.maxY())))
        .toAlignedRect();
}

// Far out, boxes are a few pixels: each is filled in whole pixels of the device, its outline
// the one-pixel rim and its fill the inside, as the thinnest pen would paint them, without
// the stroking. Rims are filled a bunch at a time, then the insides: a bunch ends before a
// box that meets the ones in it, so that a box still covers those before it.
void fillOutlined(QPainter& p, const QList<Rect>& rects, const RectOp& style,
                  const PixelMap& map, const std::optional<PixelTarget>& target) {
    if (target) {
        const PixelTarget& pixels = *target;
        const QRgb rimColor = style.stroke ? qPremultiply(toQColor(*style.stroke).rgba()) : 0;
        const QRgb insideColor = style.fill ? qPremultiply(toQColor(*style.fill).rgba()) : 0;
        for (const Rect& rect : rects) {
            const QRect outer = coveredPixels(rect, map);
            if (style.stroke && style.fill && outer.width() > 2 && outer.height() > 2)
                pixels.framed(outer, rimColor, insideColor);
            else if (style.stroke)
                pixels.fill(outer, rimColor);
            else if (style.fill)
                pixels.fill(outer, insideColor);
        }
        return;
    }
    const QBrush rim = style.stroke ? QBrush(toQColor(*style.stroke)) : QBrush(Qt::NoBrush);
    const QBrush inside = style.fill ? QBrush(toQColor(*style.fill)) : QBrush(Qt::NoBrush);
    p.save();
    const DevicePixels devicePixels(p, map);
    p.setPen(Qt::NoPen);
    p.setRenderHint(QPainter::Antialiasing, false);
    QList<QRect> outer, inner;
    QRect covered;
    auto flush = [&] {
        if (style.stroke) {
            p.setBrush(rim);
            p.drawRects(outer);
        }
        if (style.fill) {
            p.setBrush(inside);
            p.drawRects(style.stroke ? inner : outer);
        }
        outer.clear();
        inner.clear();
        covered = QRect();
    };
    for (const Rect& rect : rects) {
        const QRect pixels = coveredPixels(rect, map);
        if (covered.intersects(pixels))
            flush();
        covered |= pixels;
        outer.append(pixels);
        if (pixels.width() > 2 && pixels.height() > 2)
            inner.append(pixels.adjusted(1, 1, -1, -1));
    }
    flush();
    p.restore();
}

// The device pixels of a title's glyphs and `margin` units around them.
QRect textPixels(const TextPlace& place, const PixelMap& map, double margin) {
    QRectF area = place.glyphs.adjusted(-margin, -margin, margin, margin);
    if (place.clipped)
        area &= place.clip;
    return coveredPixels({area.x(), area.y(), area.width(), area.height()}, map);
}

// The device pixels a title may paint: its glyphs may reach a little past their advances and
// the font's ascent and descent.
QRect textPixels(const TextOp& op, const Device& device) {
    return textPixels(placeOf(op, device), *device.pixels,
                      device.fonts.lines(op.style).height / 2)
        .adjusted(-1, -1, 1, 1);
}

// The device pixels a box may paint, its outline and a pixel of antialiasing included.
QRect boxPixels(const RectOp& op, const PixelMap& map) {
    const double reach = (op.stroke ? std::abs(op.lineWidth) : 0) + 2 / map.scale;
    const Rect& r = op.rect;
    return coveredPixels({r.minX() - reach, r.minY() - reach, r.maxX() - r.minX() + 2 * reach,
                          r.maxY() - r.minY() + 2 * reach},
                         map);
}

// Whether the op may paint a pixel of the target, if there is one: when a frame is painted in
// bands, half of them lie wholly outside each band. Runs of ops in one style are found first,
// as they would be in the whole frame, and then their ops passed over, so that each band paints
// them alike.
bool reaches(const DrawOp& op, const Device& device) {
    if (!device.target)
        return true;
    if (const auto* text = std::get_if<TextOp>(&op))
        return device.target->area().intersects(textPixels(*text, device));
    // In the list's units, to spare rounding each op's pixels: the wider area lets in some
    // that end within a pixel of it, which paint nothing there.
    const Rect& area = device.reach;
    const double pixel = 1 / device.pixels->scale;
    auto meets = [&](double left, double top, double right, double bottom, double by) {
        return left - by <= area.maxX() && right + by >= area.minX() &&
               top - by <= area.maxY() && bottom + by >= area.minY();
    };
    if (const auto* rect = std::get_if<RectOp>(&op)) {
        const Rect& r = rect->rect;
        return meets(r.minX(), r.minY(), r.maxX(), r.maxY(),
                     (rect->stroke ? std::abs(rect->lineWidth) : 0) + 3 * pixel);
    }
    const auto& lines = std::get<LinesOp>(op);
    if (lines.lines.empty())
        return false;
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    for (const Line& line : lines.lines) {
        left = std::min({left, line.from.x, line.to.x});
        right = std::max({right, line.from.x, line.to.x});
        top = std::min({top, line.from.y, line.to.y});
        bottom = std::max({bottom, line.from.y, line.to.y});
    }
    return meets(left, top, right, bottom, std::abs(lines.lineWidth) + 4 * pixel);
}

// Whether the filled shapes above the first add up to more than the painted area, so that
// they must cover one another, and what lies below them, much: otherwise, as in a walkthrough
// laid out in rows, finding what they cover costs more than it saves.
bool crowded(const DrawList& list, const Device& device) {
    const QRect area = device.target->area();
    double filled = 0;
    for (size_t i = 1; i < list.size(); ++i) {
        const auto* rect = std::get_if<RectOp>(&list[i]);
        if (rect && rect->fill && isOpaque(rect->fill)) {
            const QRect shown = coveredPixels(rect->rect, *device.pixels) & area;
            filled += double(shown.width()) * shown.height();
        }
    }
    return filled > double(area.width()) * area.height();
}

// Boxes are opaque: what later boxes cover need not be painted, since they paint over it.
// From the top of the list down, the pixels each filled box paints opaque go into `above`,
// and boxes and titles that the boxes above them cover whole are marked hidden. Lines are left
// to the target, which leaves out their covered pixels as it paints them.
void findHidden(const DrawList& list, Device& device, Occlusion& above) {
    above.reset(device.target->area());
    device.above = &above;
    device.hidden.assign(list.size(), 0);
    const PixelMap& map = *device.pixels;
    std::vector<QRect> opaque;
    for (size_t i = list.size(); i-- > 0;) {
        const auto level = uint32_t(i);
        if (const auto* rect = std::get_if<RectOp>(&list[i])) {
            const auto box = crispBoxOf(*rect, map);
            device.hidden[i] = above.hides(box ? box->outer : boxPixels(*rect, map), level);
            // Nothing lies below the first.
            if (box && !device.hidden[i] && i > 0) {
                opaque.clear();
                appendOpaqueRows(*rect, *box, opaque);
                for (const QRect& part : opaque)
                    above.cover(part, level);
            }
        } else if (const auto* text = std::get_if<TextOp>(&list[i])) {
            device.hidden[i] = above.hides(textPixels(*text, device), level);
        }
    }
    above.pack();
}

// A background streamed to memory, as a large one is, need not be written where the boxes
// paint over it opaque: those lines would only be fetched back to be painted again.
bool paintBackground(const DrawList& list, const Device& device) {
    const auto* back = std::get_if<RectOp>(&list.front());
    if (!device.target || device.scale < smallScale || !device.hidden.empty() || !back ||
        back->stroke || !back->fill || !PixelTarget::streams(device.target->area()))
        return false;
    const PixelMap& map = *device.pixels;
    const auto box = crispBoxOf(*back, map);
    if (!box || box->corner > 0)
        return false;
    // The rows of each box between its corners, which it paints opaque from side to side.
    std::vector<QRect> holes;
    for (size_t i = 1; i < list.size(); ++i) {
        const auto* rect = std::get_if<RectOp>(&list[i]);
        const auto crisp = rect && rect->fill ? crispBoxOf(*rect, map) : std::nullopt;
        if (crisp)
            holes.push_back(crisp->outer.adjusted(0, crisp->corner, 0, -crisp->corner));
    }
    device.target->fill(box->outer, qPremultiply(toQColor(*back->fill).rgba()), std::move(holes));
    return true;
}

// The pixels of a box that only its fill paints: inside its outline, less its corners.
bool onPlainFill(const QRect& area, const CrispBox& box, bool stroked) {
    const QRect& o = box.outer;
    const int k = box.corner, w = stroked ? box.outline : 0;
    if (k == 0)
        return o.adjusted(w, w, -w, -w).contains(area);
    return QRect(o.left() + k, o.top() + w, o.width() - 2 * k, o.height() - 2 * w)
               .contains(area) ||
           QRect(o.left() + w, o.top() + k, o.width() - 2 * w, o.height() - 2 * k)
               .contains(area);
}

// Whether the area lies in the target and its pixels are `plain`, but those of `earlier`.
bool plainAround(const PixelTarget& target, const QRect& area, QRgb plain, const QRect& earlier) {
    if (!target.area().contains(area))
        return false;
    const QImage& image = target.image();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        const bool across = y >= earlier.top() && y <= earlier.bottom();
        for (int x = area.left(); x <= area.right(); ++x)
            if (row[x] != plain && !(across && x >= earlier.left() && x <= earlier.right()))
                return false;
    }
    return true;
}

// How far from the pixels it changes a title's glyphs may still touch one: antialiasing
// fades out within a pixel.
constexpr int glyphReach = 1;

// Whether the pixels of `image` within reach of the stamp's ink, placed at `at` in image
// coordinates, are all `plain` and within `bounds`: then its glyphs touch nothing painted
// before them.
bool clearAround(const QImage& image, const QRect& bounds, QPoint at,
                 const TitleStamps::Stamp& stamp, QRgb plain) {
    const QRect halo = QRect(at, stamp.image.size())
                           .adjusted(-glyphReach, -glyphReach, glyphReach, glyphReach);
    if (!bounds.contains(halo))
        return false;
    const int rows = int(stamp.ink.size());
    for (int y = halo.top(); y <= halo.bottom(); ++y) {
        int first = INT_MAX, last = INT_MIN;
        for (int r = std::max(0, y - at.y() - glyphReach);
             r <= std::min(rows - 1, y - at.y() + glyphReach); ++r) {
            const auto [from, to] = stamp.ink[size_t(r)];
            if (from <= to)
                first = std::min(first, from), last = std::max(last, to);
        }
        if (first > last)
            continue;
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QRgb other = 0;
        for (int x = at.x() + first - glyphReach; x <= at.x() + last + glyphReach; ++x)
            other |= row[x] ^ plain;
        if (other != 0)
            return false;
    }
    return true;
}

// The title painted in place over the area, plain but for the pixels of `earlier` (the lines
// above it); the pixels it changed, from `start` on, the others plain. Nothing when they reach
// the area's edge, and so perhaps past it, or come near a pixel painted before.
std::optional<TitleStamps::Stamp> paintAndTake(QPainter& p, const TextOp& op,
                                               const Device& device, const QRect& area,
                                               QRgb plain, QPoint start) {
    const QImage& image = device.target->image();
    const QImage before = image.copy(area);
    paint(p, op, device);
    int left = INT_MAX, right = INT_MIN, top = INT_MAX, bottom = INT_MIN;
    std::vector<std::pair<int, int>> ink(size_t(area.height()), {INT_MAX, INT_MIN});
    for (int y = 0; y < area.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y + area.top()));
        const auto* was = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        for (int x = 0; x < area.width(); ++x) {
            if (row[x + area.left()] == was[x])
                continue;
            ink[size_t(y)] = {std::min(ink[size_t(y)].first, x), x};
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = y;
        }
    }
    const QRect changed(left, top, right - left + 1, bottom - top + 1);
    if (left > right || !before.rect().adjusted(1, 1, -1, -1).contains(changed))
        return std::nullopt;
    TitleStamps::Stamp stamp{image.copy(changed.translated(area.topLeft())),
                             changed.topLeft() + area.topLeft() - start,
                             {ink.begin() + top, ink.begin() + bottom + 1}};
    for (int y = 0; y < changed.height(); ++y) {
        auto& [first, last] = stamp.ink[size_t(y)];
        auto* row = reinterpret_cast<QRgb*>(stamp.image.scanLine(y));
        const auto* was = reinterpret_cast<const QRgb*>(before.constScanLine(y + top));
        for (int x = 0; x < changed.width(); ++x)
            if (row[x] == was[x + left])
                row[x] = plain; // a pixel of a line above
        const bool none = first > last;
        first = none ? 0 : first - left;
        last = none ? -1 : last - left;
    }
    if (!clearAround(before, before.rect(), changed.topLeft(), stamp, plain))
        return std::nullopt;
    stamp.image.setDevicePixelRatio(1);
    // Opaque pixels of either format are the same premultiplied.
    stamp.image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    return stamp;
}

// The title painted by the painter over `plain` in a picture of the area alone, laid out on
// the device's pixels as it would be in place; trimmed to the pixels it changed. Nothing when
// its glyphs reach the picture's edge, and so perhaps past it. For a title whose pixels in place
// cannot be taken: at a fractional device pixel ratio, a glyph's edge may differ by a shade.
std::optional<TitleStamps::Stamp> makeStamp(const TextOp& op, const TextPlace& place,
                                            const QRect& area, QRgb plain, QPoint start,
                                            const Device& device) {
    const QImage& target = device.target->image();
    QImage image(area.size(), target.format());
    image.setDevicePixelRatio(target.devicePixelRatio());
    image.setDotsPerMeterX(target.dotsPerMeterX());
    image.setDotsPerMeterY(target.dotsPerMeterY());
    image.fill(plain);
    {
        const PixelMap& map = *device.pixels;
        const double ratio = target.devicePixelRatio();
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setWorldTransform(QTransform(map.scale, 0, 0, map.scale, map.dx - area.x(),
                                       map.dy - area.y()) *
                            QTransform::fromScale(1 / ratio, 1 / ratio));
        p.setFont(device.fonts.font(op.style));
        p.setPen(toQColor(op.color));
        p.drawStaticText(place.topLeft, device.fonts.preparedText(op.text, op.style));
    }
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (row[x] != plain)
                ink |= QRect(x, y, 1, 1);
    }
    if (!ink.isEmpty() && !image.rect().adjusted(1, 1, -1, -1).contains(ink))
        return std::nullopt;
    QImage kept = image.copy(ink);
    kept.setDevicePixelRatio(1);
    // Opaque pixels of either format are the same premultiplied.
    kept.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    return TitleStamps::Stamp{std::move(kept), ink.topLeft() + area.topLeft() - start, {}, true};
}

// What a title's pixels depend on: its text and style, where its glyphs fall within a device
// pixel, the scale, the colours and the font.
std::string stampKey(const TextOp& op, const TextPlace& place, QRgb plain, const Device& device) {
    const PixelMap& map = *device.pixels;
    const QImage& target = device.target->image();
    const double x = map.x(place.start.x()), y = map.y(place.start.y());
    const double top = map.y(place.topLeft.y());
    std::string key = op.text;
    for (const double v : {map.scale, x - std::floor(x), y - std::floor(y), top - std::floor(top),
                           target.devicePixelRatio(), double(target.dotsPerMeterX()),
                           double(target.dotsPerMeterY()), double(target.format()),
                           double(plain), double(toQColor(op.color).rgba()), double(op.style)})
        key.append(reinterpret_cast<const char*>(&v), sizeof v);
    key += device.fonts.fontKey(op.style);
    return key;
}

// The box a title's lines follow: the op before the first of the lines up to `at`.
const RectOp* boxBefore(const DrawList& list, size_t at, size_t& box) {
    size_t first = at;
    while (first > 0 && std::holds_alternative<TextOp>(list[first - 1]))
        --first;
    box = first - 1;
    return first > 0 ? std::get_if<RectOp>(&list[first - 1]) : nullptr;
}

// Copies the stamp at `at`: whole for a box's first line; below another, the columns of its
// ink, when the lines above left no pixel near them.
bool copyStamp(const TitleStamps::Stamp& stamp, QPoint at, QRgb plain, bool firstLine,
               const PixelTarget& target) {
    if (firstLine) {
        target.copy(at, stamp.image);
        return true;
    }
    // Pixels beyond the area may be another thread's to paint.
    if (!clearAround(target.image(), target.area(), at, stamp, plain))
        return false;
    // Within the columns of its ink, every pixel is plain, as the stamp's are.
    target.copy(at, stamp.image, &stamp.ink);
    return true;
}

// A title on the plain fill of the box painted just before it leaves the same pixels wherever
// the box lies: the pixels its first painting changed are kept, and copied after. So are its
// later lines, while the lines above them were copied too and left no pixel near their glyphs.
bool paintStamped(QPainter& p, const DrawList& list, size_t at, Device& device,
                  TitleStamps& stamps) {
    const auto* op = std::get_if<TextOp>(&list[at]);
    size_t boxAt = 0;
    const auto* box = boxBefore(list, at, boxAt);
    const bool firstLine = boxAt + 1 == at;
    if (!op || !box || !box->fill || !device.target ||
        (!firstLine && device.titleBox != boxAt))
        return false;
    const PixelMap& map = *device.pixels;
    const auto crisp = crispBoxOf(*box, map);
    const TextPlace place = placeOf(*op, device);
    // Glyphs that reach further are found out when the stamp is taken.
    const QRect area = textPixels(place, map, 2 / map.scale);
    if (!crisp || place.clipped || !onPlainFill(area, *crisp, box->stroke.has_value()))
        return false;
    const QRgb plain = qPremultiply(toQColor(*box->fill).rgba());
    const std::string key = stampKey(*op, place, plain, device);
    const QPoint start(int(std::lround(map.x(place.start.x()))),
                       int(std::lround(map.y(place.start.y()))));
    const TitleStamps::Stamp* stamp = stamps.find(key);
    const QRect earlier = firstLine ? QRect() : device.titleInk;
    // Over pixels of other shapes, or past the target's edge, a title's first line is made
    // apart; taken in place as soon as it can be.
    if (stamp && stamp->apart &&
        (!firstLine || plainAround(*device.target, area, plain, earlier)))
        stamp = nullptr;
    else if (!stamp && firstLine && stamps.hasRoom() &&
             !plainAround(*device.target, area, plain, earlier))
        stamp = stamps.keep(key, makeStamp(*op, place, area, plain, start, device)
                                     .value_or(TitleStamps::Stamp{{}, {}, {}, true}));
    if (!stamp) {
        if (!stamps.hasRoom() || !plainAround(*device.target, area, plain, earlier))
            return false;
        auto taken = paintAndTake(p, *op, device, area, plain, start);
        // A title whose glyphs reach too far is kept as none, and left to the painter.
        if (taken || firstLine)
            stamp = stamps.keep(key, std::move(taken).value_or(TitleStamps::Stamp{}));
    } else if (stamp->image.isNull() ||
               !copyStamp(*stamp, start + stamp->offset, plain, firstLine, *device.target)) {
        return false;
    }
    if (!stamp || stamp->image.isNull()) {
        device.titleBox = SIZE_MAX; // painted, but where is not known
        return true;
    }
    const QRect pixels(start + stamp->offset, stamp->image.size());
    device.titleInk = firstLine ? pixels : device.titleInk | pixels;
    device.titleBox = boxAt;
    return true;
}

// Paints the run of ops from `at` that share the style of the first; where the run ends.
size_t paintRun(QPainter& p, const DrawList& list, size_t at, const RectOp& first,
                Device& device) {
    const double scale = device.scale;
    QList<Rect> rects;
    size_t end = at;
    for (; end < list.size(); ++end) {
        const auto* op = std::get_if<RectOp>(&list[end]);
        if (!op || !batchable(*op, scale) || !sameStyle(*op, first))
            break;
        rects.append(op->rect);
    }
    if (filledInPixels(first, device)) {
        fillOutlined(p, rects, first, *device.pixels, device.target);
        return end;
    }
    // Each on whole device pixels; they are quick to paint one by one.
    if (device.pixels) {
        RectOp op = first;
        for (size_t i = at; i < end; ++i) {
            op.rect = rects[qsizetype(i - at)];
            if (device.shows(i) && reaches(list[i], device))
                paint(p, op, device);
        }
        return end;
    }
    QList<QRectF> shapes;
    for (const Rect& rect : rects)
        shapes.append(toQRect(rect));
    p.setBrush(first.fill ? QBrush(toQColor(*first.fill)) : QBrush(Qt::NoBrush));
    p.setPen(first.stroke ? pen(*first.stroke, deviceWidth(first.lineWidth, device), Qt::FlatCap)
                          : QPen(Qt::NoPen));
    // Shapes a few pixels large gain nothing from antialiasing but cost many times as much.
    p.setRenderHint(QPainter::Antialiasing, scale >= smallScale);
    p.drawRects(shapes);
    p.setRenderHint(QPainter::Antialiasing, true);
    return end;
}

size_t paintRun(QPainter& p, const DrawList& list, size_t at, const LinesOp& first,
                Device& device) {
    const double scale = device.scale;
    QList<QLineF> lines;
    size_t end = at;
    for (; end < list.size(); ++end) {
        const auto* op = std::get_if<LinesOp>(&list[end]);
        if (!op || !batchable(*op, device) || !sameStyle(*op, first))
            break;
        for (const Line& line : op->lines)
            lines.append(QLineF(line.from.x, line.from.y, line.to.x, line.to.y));
    }
    if (device.target) {
        const QColor color = toQColor(first.color);
        for (size_t i = at; i < end; ++i)
            if (device.shows(i) && reaches(list[i], device))
                paintDirect(std::get<LinesOp>(list[i]), device, color);
        return end;
    }
    const bool capped = first.cap == LineCap::round && first.lineWidth * scale >= 1.5;
    const double width = deviceWidth(first.lineWidth, device);
    p.setPen(pen(first.color, width, capped ? Qt::SquareCap : Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, scale >= smallScale);
    if (width == 0) {
        p.drawLines(lines);
    } else {
        // Qt strokes wide lines one by one many times slower than as one path.
        QPainterPath path;
        for (const QLineF& line : lines) {
            path.moveTo(line.p1());
            path.lineTo(line.p2());
        }
        p.drawPath(path);
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    return end;
}

// Paints the op at `at` and the run of ops in its style that it begins; where they end. A run
// of one is painted as it always was, but for a box filled in pixels.
size_t paintFrom(QPainter& painter, const DrawList& list, size_t at, Device& device) {
    const DrawOp& op = list[at];
    const auto* rect = std::get_if<RectOp>(&op);
    const auto* lines = std::get_if<LinesOp>(&op);
    const auto* nextRect = at + 1 < list.size() ? std::get_if<RectOp>(&list[at + 1]) : nullptr;
    const auto* nextLines = at + 1 < list.size() ? std::get_if<LinesOp>(&list[at + 1]) : nullptr;
    const bool rectsRun = rect && nextRect && batchable(*rect, device.scale) &&
                          batchable(*nextRect, device.scale) && sameStyle(*rect, *nextRect);
    if (rectsRun || (rect && filledInPixels(*rect, device)))
        return paintRun(painter, list, at, *rect, device);
    if (lines && nextLines && batchable(*lines, device) && batchable(*nextLines, device) &&
        sameStyle(*lines, *nextLines))
        return paintRun(painter, list, at, *lines, device);
    if (reaches(op, device))
        std::visit([&](const auto& o) { paint(painter, o, device); }, op);
    return at + 1;
}

// The view's pixels per unit of the list, as its painter's world transform scales.
double viewScale(const QPainter& painter) {
    return std::sqrt(std::abs(painter.worldTransform().determinant()));
}

// The list painted whole, at `scale` view pixels per unit; with a band, the painter's clip,
// in the device's pixels.
void paintWhole(QPainter& painter, const DrawList& list, const QtTextMeasurer& fonts,
                double scale, const QRect* band = nullptr) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    Device device{fonts, scale, PixelMap::of(painter), std::nullopt, {}, nullptr, SIZE_MAX, {},
                  {}};
    if (device.pixels)
        device.target = PixelTarget::of(painter);
    // Worked back from the painter, the clip may lose a row or a column to rounding.
    if (device.target && band)
        device.target->setArea(*band);
    if (device.target) {
        const PixelMap& map = *device.pixels;
        const QRect& area = device.target->area();
        device.reach = {(area.left() - 1 - map.dx) / map.scale,
                        (area.top() - 1 - map.dy) / map.scale, (area.width() + 2) / map.scale,
                        (area.height() + 2) / map.scale};
    }
    // Far out, boxes are a few pixels and rarely cover one another.
    thread_local Occlusion above;
    thread_local TitleStamps stamps;
    stamps.nextPainting();
    if (device.target && device.scale >= smallScale && crowded(list, device))
        findHidden(list, device, above);
    size_t at = 0;
    while (at < list.size()) {
        if (!device.shows(at)) {
            ++at;
            continue;
        }
        if (at == 0 && paintBackground(list, device)) {
            ++at;
            continue;
        }
        const DrawOp& op = list[at];
        if (std::holds_alternative<TextOp>(op)) {
            if (!reaches(op, device)) {
                ++at;
                continue;
            }
            if (paintStamped(painter, list, at, device, stamps)) {
                ++at;
                continue;
            }
            // Painted over, the box's fill is no longer plain where its later lines go.
            device.titleBox = SIZE_MAX;
        }
        at = paintFrom(painter, list, at, device);
    }
    painter.restore();
}

// A frame of this many device pixels or more is painted in two bands at once.
constexpr qint64 bandedFrame = 512 * 1024;

// The pixels of the image within `band`, painted with the list as a painter with the given
// transform to them would: by a painter of their own over the same memory, so that another
// can paint the rest at the same time.
void paintBand(const QImage& image, const QTransform& transform, double scale,
               const QRect& band, const DrawList& list, const QtTextMeasurer& fonts) {
    // Without the image's device pixel ratio, the painter's whole transform is the world's:
    // the same numbers, not worked out again.
    QImage pixels(const_cast<uchar*>(image.constBits()), image.width(), image.height(),
                  image.bytesPerLine(), image.format());
    pixels.setDotsPerMeterX(image.dotsPerMeterX());
    pixels.setDotsPerMeterY(image.dotsPerMeterY());
    QPainter own(&pixels);
    own.setClipRect(band);
    own.setWorldTransform(transform);
    paintWhole(own, list, fonts, scale, &band);
}

// Paints the frame over `area`, the painter's pixels, with `paintPart` for each band of it and
// the fonts of the thread it runs on: a large frame in two bands at once, the upper here and
// the lower on a second thread; otherwise whole.
void paintInBands(const QRect& area, const QtTextMeasurer& fonts,
                  const std::function<void(const QRect&, const QtTextMeasurer&)>& paintPart) {
    if (qint64(area.width()) * area.height() >= bandedFrame) {
        const int middle = area.top() + area.height() / 2;
        const QRect upper(area.left(), area.top(), area.width(), middle - area.top());
        const QRect lower(area.left(), middle, area.width(), area.bottom() + 1 - middle);
        if (paintAlongside(
                fonts, [&] { paintPart(upper, fonts); },
                [&](const QtTextMeasurer& own) { paintPart(lower, own); }))
            return;
    }
    paintPart(area, fonts);
}

// The part of `area` that `band` of the device's pixels shows, a pixel wider all round, with
// `toList` from the device to the list's units.
Rect partOf(const Rect& area, const QRect& band, const QTransform& toList) {
    const QRectF shown = toList.mapRect(QRectF(band.adjusted(-1, -1, 1, 1)));
    const double left = std::max(area.minX(), shown.left());
    const double top = std::max(area.minY(), shown.top());
    return Rect{left, top, std::max(0.0, std::min(area.maxX(), shown.right()) - left),
                std::max(0.0, std::min(area.maxY(), shown.bottom()) - top)};
}

// Paints straight into the painter's pixels, if they can be had, and false if not. Always by
// a painter of its own, so that what it paints is the same whether the frame is painted whole
// or in bands: each band, with the fonts of its thread, paints the list `listFor(band, whole,
// fonts)` gives, `whole` when the band is the frame.
template <class ListFor>
bool paintPixels(QPainter& painter, const QtTextMeasurer& fonts, const ListFor& listFor) {
    const auto target = PixelMap::of(painter) ? PixelTarget::of(painter) : std::nullopt;
    if (!target)
        return false;
    const QImage& image = target->image();
    const QTransform transform = painter.deviceTransform();
    const double scale = viewScale(painter);
    paintInBands(target->area(), fonts, [&](const QRect& band, const QtTextMeasurer& own) {
        paintBand(image, transform, scale, band, listFor(band, band == target->area(), own),
                  own);
    });
    return true;
}

} // namespace

void paintDrawList(QPainter& painter, const DrawList& list, const QtTextMeasurer& fonts) {
    const auto same = [&](const QRect&, bool, const QtTextMeasurer&) -> const DrawList& {
        return list;
    };
    if (!paintPixels(painter, fonts, same))
        paintWhole(painter, list, fonts, viewScale(painter));
}

void paintDrawn(QPainter& painter, const Rect& area, const DrawArea& draw,
                const QtTextMeasurer& fonts) {
    const QTransform toList = painter.deviceTransform().inverted();
    const auto drawn = [&](const QRect& band, bool whole, const QtTextMeasurer& own) {
        return draw(whole ? area : partOf(area, band, toList), own);
    };
    if (!paintPixels(painter, fonts, drawn))
        paintWhole(painter, draw(area, fonts), fonts, viewScale(painter));
}

} // namespace pathwicks
