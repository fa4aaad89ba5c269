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

void paint(QPainter& p, const RectOp& op, const QtTextMeasurer&) {
    p.setBrush(op.fill ? QBrush(toQColor(*op.fill)) : QBrush(Qt::NoBrush));
    p.setPen(op.stroke ? pen(*op.stroke, op.lineWidth, Qt::FlatCap) : QPen(Qt::NoPen));
    if (op.radius > 0)
        p.drawRoundedRect(toQRect(op.rect), op.radius, op.radius);
    else
        p.drawRect(toQRect(op.rect));
}

void paint(QPainter& p, const LinesOp& op, const QtTextMeasurer&) {
    QPainterPath path;
    for (const Line& line : op.lines) {
        path.moveTo(line.from.x, line.from.y);
        path.lineTo(line.to.x, line.to.y);
    }
    // Qt strokes long antialiased lines with round caps ten times slower than with flat ones,
    // so round caps are painted as discs on the line ends instead: the same shape, and a
    // canvas full of arrows stays quick to draw.
    const bool roundCaps = op.cap == LineCap::round && op.lineWidth > 0;
    QPen stroke = pen(op.color, op.lineWidth, Qt::FlatCap);
    if (!op.dashPattern.empty()) {
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

void paint(QPainter& p, const TextOp& op, const QtTextMeasurer& fonts) {
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

} // namespace

void paintDrawList(QPainter& painter, const DrawList& list, const QtTextMeasurer& fonts) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const DrawOp& op : list)
        std::visit([&](const auto& o) { paint(painter, o, fonts); }, op);
    painter.restore();
}

} // namespace pathwicks
