#include "app/DrawListPainter.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

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

// What a drawing needs to know of where it goes: view pixels per unit of the list.
struct Device {
    const QtTextMeasurer& fonts;
    double scale = 1;
};

void paint(QPainter& p, const RectOp& op, const Device& device) {
    p.setBrush(op.fill ? QBrush(toQColor(*op.fill)) : QBrush(Qt::NoBrush));
    p.setPen(op.stroke ? pen(*op.stroke, op.lineWidth, Qt::FlatCap) : QPen(Qt::NoPen));
    // Corners rounded by less than a pixel look square, and square ones paint much faster.
    if (op.radius * device.scale >= 1)
        p.drawRoundedRect(toQRect(op.rect), op.radius, op.radius);
    else
        p.drawRect(toQRect(op.rect));
}

void paint(QPainter& p, const LinesOp& op, const Device& device) {
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
    QPen stroke = pen(op.color, op.lineWidth, Qt::FlatCap);
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
    p.setPen(stroke);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);

    if (roundCaps) {
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

void paint(QPainter& p, const TextOp& op, const Device& device) {
    const QtTextMeasurer& fonts = device.fonts;
    const QFontMetricsF& metrics = fonts.metrics(op.style);
    const QRectF glyphs(op.centerX - op.width / 2, op.baseline - metrics.ascent(), op.width,
                        metrics.height());
    const QRectF clip = toQRect(op.clip);
    // Clipping is costly; most titles lie well inside their box.
    const bool clipped = !clip.contains(glyphs);
    if (clipped) {
        p.save();
        p.setClipRect(clip, Qt::IntersectClip);
    }
    p.setFont(fonts.font(op.style));
    p.setPen(toQColor(op.color));
    p.drawText(QPointF(glyphs.left(), op.baseline),
               QString::fromUtf8(op.text.data(), qsizetype(op.text.size())));
    if (clipped)
        p.restore();
}

// Far out, a canvas is thousands of small plain boxes and lines: runs of them in one style are
// painted with one call each, lines thinner than a pixel as the thinnest line there is. Only
// opaque shapes, where painting overlaps twice shows no difference.
constexpr double smallScale = 0.5;

bool isOpaque(const std::optional<Color>& color) {
    return !color || clamped(color->alpha) >= 1;
}

// Far out, corners rounded by under two pixels on a box of a few are not missed either.
bool batchable(const RectOp& op, double scale) {
    return op.radius * scale < (scale < smallScale ? 2 : 1) && isOpaque(op.fill) &&
           isOpaque(op.stroke);
}

bool sameStyle(const RectOp& a, const RectOp& b) {
    return a.fill == b.fill && a.stroke == b.stroke && a.lineWidth == b.lineWidth;
}

bool batchable(const LinesOp& op, double scale) {
    return op.dashPattern.empty() && clamped(op.color.alpha) >= 1 &&
           (op.cap == LineCap::butt || op.lineWidth * scale < 1.5);
}

bool sameStyle(const LinesOp& a, const LinesOp& b) {
    return a.color == b.color && a.lineWidth == b.lineWidth;
}

double deviceWidth(double width, double scale) {
    return width * scale < 1 ? 0 : width;
}

// Far out, boxes are a few pixels: each is filled in whole pixels of the device, its outline
// the one-pixel rim and its fill the inside, as the thinnest pen would paint them, without
// the stroking. Rims are filled a bunch at a time, then the insides: a bunch ends before a
// box that meets the ones in it, so that a box still covers those before it.
void fillOutlined(QPainter& p, const QList<QRectF>& rects, const RectOp& style) {
    const QTransform transform = p.worldTransform();
    const QBrush rim = style.stroke ? QBrush(toQColor(*style.stroke)) : QBrush(Qt::NoBrush);
    const QBrush inside = style.fill ? QBrush(toQColor(*style.fill)) : QBrush(Qt::NoBrush);
    p.save();
    p.resetTransform();
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
    const double sx = transform.m11(), sy = transform.m22(), dx = transform.dx(),
                 dy = transform.dy();
    for (const QRectF& rect : rects) {
        const double left = rect.left() * sx + dx, right = rect.right() * sx + dx;
        const double top = rect.top() * sy + dy, bottom = rect.bottom() * sy + dy;
        const QRect pixels = QRectF(QPointF(std::min(left, right), std::min(top, bottom)),
                                    QPointF(std::max(left, right), std::max(top, bottom)))
                                 .toAlignedRect();
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

// Paints the run of ops from `at` that share the style of the first; where the run ends.
size_t paintRun(QPainter& p, const DrawList& list, size_t at, const RectOp& first, double scale) {
    QList<QRectF> rects;
    size_t end = at;
    for (; end < list.size(); ++end) {
        const auto* op = std::get_if<RectOp>(&list[end]);
        if (!op || !batchable(*op, scale) || !sameStyle(*op, first))
            break;
        rects.append(toQRect(op->rect));
    }
    if (scale < smallScale && p.worldTransform().type() <= QTransform::TxScale &&
        first.lineWidth * scale < 1) {
        fillOutlined(p, rects, first);
        return end;
    }
    p.setBrush(first.fill ? QBrush(toQColor(*first.fill)) : QBrush(Qt::NoBrush));
    p.setPen(first.stroke ? pen(*first.stroke, deviceWidth(first.lineWidth, scale), Qt::FlatCap)
                          : QPen(Qt::NoPen));
    // Shapes a few pixels large gain nothing from antialiasing but cost many times as much.
    p.setRenderHint(QPainter::Antialiasing, scale >= smallScale);
    p.drawRects(rects);
    p.setRenderHint(QPainter::Antialiasing, true);
    return end;
}

size_t paintRun(QPainter& p, const DrawList& list, size_t at, const LinesOp& first, double scale) {
    QList<QLineF> lines;
    size_t end = at;
    for (; end < list.size(); ++end) {
        const auto* op = std::get_if<LinesOp>(&list[end]);
        if (!op || !batchable(*op, scale) || !sameStyle(*op, first))
            break;
        for (const Line& line : op->lines)
            lines.append(QLineF(line.from.x, line.from.y, line.to.x, line.to.y));
    }
    p.setPen(pen(first.color, deviceWidth(first.lineWidth, scale), Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, scale >= smallScale);
    p.drawLines(lines);
    p.setRenderHint(QPainter::Antialiasing, true);
    return end;
}

} // namespace

void paintDrawList(QPainter& painter, const DrawList& list, const QtTextMeasurer& fonts) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QTransform& transform = painter.worldTransform();
    const Device device{fonts, std::sqrt(std::abs(transform.determinant()))};
    size_t at = 0;
    while (at < list.size()) {
        const DrawOp& op = list[at];
        // A run of one is painted as it always was.
        const auto* rect = std::get_if<RectOp>(&op);
        const auto* lines = std::get_if<LinesOp>(&op);
        const auto* nextRect = at + 1 < list.size() ? std::get_if<RectOp>(&list[at + 1]) : nullptr;
        const auto* nextLines =
            at + 1 < list.size() ? std::get_if<LinesOp>(&list[at + 1]) : nullptr;
        if (rect && nextRect && batchable(*rect, device.scale) &&
            batchable(*nextRect, device.scale) && sameStyle(*rect, *nextRect)) {
            at = paintRun(painter, list, at, *rect, device.scale);
        } else if (lines && nextLines && batchable(*lines, device.scale) &&
                   batchable(*nextLines, device.scale) && sameStyle(*lines, *nextLines)) {
            at = paintRun(painter, list, at, *lines, device.scale);
        } else {
            std::visit([&](const auto& o) { paint(painter, o, device); }, op);
            ++at;
        }
    }
    painter.restore();
}

} // namespace pathwicks
