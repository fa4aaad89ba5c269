#include "app/CrispShapes.h"

#include "app/PixelTarget.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace pathwicks {

namespace {

bool opaque(const std::optional<Color>& color) {
    return !color || (std::isfinite(color->alpha) && color->alpha >= 1);
}

QColor toQColor(const Color& c) {
    auto part = [](double v) { return float(std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0); };
    return QColor::fromRgbF(part(c.red), part(c.green), part(c.blue), part(c.alpha));
}

int whole(double v) {
    return int(std::lround(std::clamp(v, -1e9, 1e9)));
}

// The corners of one style of box at one size of the device: a rounded box of 2k + 1 pixels
// a side, of which each quarter is one corner and the middle row and column are straight.
struct CornerPicture {
    int outline = 0;
    double radius = 0;
    std::optional<Color> fill;
    std::optional<Color> stroke;
    int k = 0;
    QImage image;
    // For each row of the picture but the middle one: the first column of its left quarter
    // and the last of its right quarter from which on to the middle it is opaque.
    std::vector<std::pair<int, int>> opaque;
};

std::vector<std::pair<int, int>> opaqueParts(const QImage& image, int k) {
    std::vector<std::pair<int, int>> parts;
    for (int y = 0; y <= 2 * k; ++y) {
        if (y == k)
            continue;
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int left = k, right = k;
        while (left > 0 && qAlpha(row[left - 1]) == 255)
            --left;
        while (right < 2 * k && qAlpha(row[right + 1]) == 255)
            ++right;
        parts.emplace_back(left, right);
    }
    return parts;
}

QImage drawCorners(const CornerPicture& c) {
    const int side = 2 * c.k + 1;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(c.fill ? QBrush(toQColor(*c.fill)) : QBrush(Qt::NoBrush));
    if (c.stroke) {
        p.setPen(QPen(toQColor(*c.stroke), c.outline, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        const double half = c.outline / 2.0;
        p.drawRoundedRect(QRectF(half, half, side - c.outline, side - c.outline), c.radius,
                          c.radius);
    } else {
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(0, 0, side, side), c.radius, c.radius);
    }
    return image;
}

// The side of a corner's square: the corner's curve and a pixel more, and past the outline.
int cornerSize(const RectOp& op, int outline, double radius) {
    const double outer = radius + (op.stroke ? outline / 2.0 : 0);
    return std::max(int(std::ceil(outer)) + 1, outline + 1);
}

// Made once for each style and size in use; a few dozen are kept.
const CornerPicture& cornersFor(const RectOp& op, int outline, double radius) {
    thread_local std::vector<CornerPicture> made;
    for (const CornerPicture& c : made) {
        if (c.outline == outline && c.radius == radius && c.fill == op.fill &&
            c.stroke == op.stroke)
            return c;
    }
    if (made.size() >= 32)
        made.erase(made.begin());
    CornerPicture c{outline, radius, op.fill, op.stroke, cornerSize(op, outline, radius), {}, {}};
    c.image = drawCorners(c);
    c.opaque = opaqueParts(c.image, c.k);
    made.push_back(std::move(c));
    return made.back();
}

// Where the shapes go: straight into the pixels where they can, else through the painter.
struct Surface {
    QPainter& painter;
    const PixelTarget* target;

    void fillRect(const QRect& r, const QColor& color) const {
        if (target)
            target->fill(r, color);
        else
            painter.fillRect(r, color);
    }
    void drawImage(QPoint at, const QImage& image, const QRect& source) const {
        if (target)
            target->draw(at, image, source);
        else
            painter.drawImage(at, image, source);
    }
};

void paintSquare(const Surface& p, const QRect& outer, int outline, const RectOp& op) {
    if (op.stroke)
        p.fillRect(outer, toQColor(*op.stroke));
    const QRect inner = op.stroke ? outer.adjusted(outline, outline, -outline, -outline) : outer;
    if (op.fill && inner.width() > 0 && inner.height() > 0)
        p.fillRect(inner, toQColor(*op.fill));
}

void paintRounded(const Surface& p, const QRect& o, const CornerPicture& c) {
    const int k = c.k, w = c.stroke ? c.outline : 0;
    // Where shapes above cover parts, each row is looked up once, not once for each part.
    if (p.target && p.target->hidesCovered() &&
        c.image.format() == QImage::Format_ARGB32_Premultiplied) {
        auto premultiplied = [](const std::optional<Color>& color) -> std::optional<QRgb> {
            if (!color)
                return std::nullopt;
            return qPremultiply(toQColor(*color).rgba());
        };
        p.target->rounded(o, c.image, k, w, premultiplied(c.stroke), premultiplied(c.fill));
        return;
    }
    const int l = o.left(), t = o.top(), r = l + o.width(), b = t + o.height();
    const int across = o.width() - 2 * k, down = o.height() - 2 * k;
    p.drawImage(QPoint(l, t), c.image, QRect(0, 0, k, k));
    p.drawImage(QPoint(r - k, t), c.image, QRect(k + 1, 0, k, k));
    p.drawImage(QPoint(l, b - k), c.image, QRect(0, k + 1, k, k));
    p.drawImage(QPoint(r - k, b - k), c.image, QRect(k + 1, k + 1, k, k));
    if (c.stroke) {
        const QColor stroke = toQColor(*c.stroke);
        p.fillRect(QRect(l + k, t, across, w), stroke);
        p.fillRect(QRect(l + k, b - w, across, w), stroke);
        p.fillRect(QRect(l, t + k, w, down), stroke);
        p.fillRect(QRect(r - w, t + k, w, down), stroke);
    }
    if (c.fill) {
        const QColor fill = toQColor(*c.fill);
        p.fillRect(QRect(l + w, t + k, o.width() - 2 * w, down), fill);
        p.fillRect(QRect(l + k, t + w, across, k - w), fill);
        p.fillRect(QRect(l + k, b - k, across, k - w), fill);
    }
}

// The stretches of a line of `length` units that its dash pattern paints, from its start.
std::vector<std::pair<double, double>> dashesAlong(double length, const LinesOp& op) {
    std::vector<std::pair<double, double>> dashes;
    std::vector<double> pattern;
    for (double v : op.dashPattern)
        pattern.push_back(std::abs(v));
    if (pattern.size() % 2)
        pattern.insert(pattern.end(), pattern.begin(), pattern.end());
    double period = 0;
    for (double v : pattern)
        period += v;
    if (pattern.empty() || !(period > 0) || length / period > 1e5) {
        dashes.emplace_back(0, length);
        return dashes;
    }
    double at = -std::fmod(op.dashPhase, period);
    if (at > 0)
        at -= period;
    for (size_t i = 0; at < length; i = (i + 1) % pattern.size()) {
        if (i % 2 == 0 && at + pattern[i] > 0)
            dashes.emplace_back(std::max(at, 0.0), std::min(at + pattern[i], length));
        at += pattern[i];
    }
    return dashes;
}

// An upright line: its columns of device pixels and the rows its dashes cover, in order.
struct Upright {
    int from = 0;
    int to = 0;
    std::vector<std::pair<int, int>> rows;
};

Upright uprightOf(int side, int width, const std::vector<QRect>& rects, size_t first) {
    Upright upright{side, side + width, {}};
    for (size_t i = first; i < rects.size(); ++i)
        upright.rows.emplace_back(rects[i].top(), rects[i].top() + rects[i].height());
    std::sort(upright.rows.begin(), upright.rows.end());
    return upright;
}

// Appends the line's dashes as rectangles of device pixels, `width` across, centred on the line
// as nearly as whole pixels can be; the first column or row they cover across the line.
int appendDashes(const Line& line, const LinesOp& op, const PixelMap& map, int width,
                 std::vector<QRect>& rects) {
    const bool down = line.from.x == line.to.x;
    const double start = down ? line.from.y : line.from.x;
    const double end = down ? line.to.y : line.to.x;
    const double centre = down ? map.x(line.from.x) : map.y(line.from.y);
    const int side = int(std::floor(std::clamp(centre - width / 2.0 + 0.5, -1e9, 1e9)));
    const double direction = end >= start ? 1 : -1;
    for (const auto& [from, to] : dashesAlong(std::abs(end - start), op)) {
        const double a = start + direction * from, b = start + direction * to;
        const int first = whole(down ? map.y(std::min(a, b)) : map.x(std::min(a, b)));
        const int last = whole(down ? map.y(std::max(a, b)) : map.x(std::max(a, b)));
        if (last > first)
            rects.push_back(down ? QRect(side, first, width, last - first)
                                 : QRect(first, side, last - first, width));
    }
    return side;
}

// The rows of a column stretch of `dash` that the upright's dashes do not cover.
void appendUncovered(const QRect& dash, int left, int right, const Upright& upright,
                     std::vector<QRect>& rects) {
    int y = dash.top();
    const int bottom = dash.top() + dash.height();
    auto row = std::lower_bound(upright.rows.begin(), upright.rows.end(), y,
                                [](const std::pair<int, int>& r, int v) { return r.second <= v; });
    for (; row != upright.rows.end() && row->first < bottom; ++row) {
        if (row->first > y)
            rects.emplace_back(left, y, right - left, row->first - y);
        y = std::max(y, row->second);
    }
    if (y < bottom)
        rects.emplace_back(left, y, right - left, bottom - y);
}

// A dash across, less what the upright lines' dashes already cover.
void appendUncrossed(const QRect& dash, const std::vector<Upright>& uprights,
                     std::vector<QRect>& rects) {
    int x = dash.left();
    const int end = dash.left() + dash.width();
    auto upright = std::lower_bound(uprights.begin(), uprights.end(), x,
                                    [](const Upright& u, int v) { return u.to <= v; });
    for (; upright != uprights.end() && upright->from < end; ++upright) {
        const int left = std::max(upright->from, x), right = std::min(upright->to, end);
        if (left > x)
            rects.emplace_back(x, dash.top(), left - x, dash.height());
        if (right > left)
            appendUncovered(dash, left, right, *upright, rects);
        x = std::max(x, right);
    }
    if (x < end)
        rects.emplace_back(x, dash.top(), end - x, dash.height());
}

} // namespace

std::optional<PixelMap> PixelMap::of(const QPainter& painter) {
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxScale || !(t.m11() > 0) || std::abs(t.m11() - t.m22()) > 1e-9)
        return std::nullopt;
    const double ratio = painter.device() ? painter.device()->devicePixelRatio() : 1;
    return PixelMap{t.m11(), t.dx(), t.dy(), ratio > 0 ? ratio : 1};
}

int PixelMap::width(double units) const {
    return std::max(1, whole(units * scale));
}

DevicePixels::DevicePixels(QPainter& painter, const PixelMap&)
    : painter_(painter), saved_(painter.worldTransform()) {
    // Undoes all the painter adds to its world transform: the device pixel ratio, and a
    // widget's place in its window.
    painter.setWorldTransform(painter.deviceTransform().inverted() * saved_);
}

DevicePixels::~DevicePixels() {
    painter_.setWorldTransform(saved_);
}

QRect devicePixelsOf(const Rect& r, const PixelMap& map) {
    const int left = whole(map.x(r.minX())), right = whole(map.x(r.maxX()));
    const int top = whole(map.y(r.minY())), bottom = whole(map.y(r.maxY()));
    return QRect(left, top, right - left, bottom - top);
}

std::optional<CrispBox> crispBoxOf(const RectOp& op, const PixelMap& map) {
    if (!opaque(op.fill) || !opaque(op.stroke) || (!op.fill && !op.stroke))
        return std::nullopt;
    const int outline = op.stroke ? map.width(op.lineWidth) : 0;
    // The outline is centred on the rectangle's edge.
    const double half = op.stroke ? std::max(op.lineWidth * map.scale, 1.0) / 2 : 0;
    const Rect grown{op.rect.minX() - half / map.scale, op.rect.minY() - half / map.scale,
                     op.rect.maxX() - op.rect.minX() + 2 * half / map.scale,
                     op.rect.maxY() - op.rect.minY() + 2 * half / map.scale};
    const QRect outer = devicePixelsOf(grown, map);
    if (outer.width() <= 0 || outer.height() <= 0)
        return std::nullopt;
    const double radius = op.radius * map.scale;
    // Corners rounded by less than a pixel look square.
    const int corner = radius < 1 ? 0 : cornerSize(op, outline, radius);
    if (corner > 0 && (outer.width() < 2 * corner + 1 || outer.height() < 2 * corner + 1))
        return std::nullopt;
    return CrispBox{outer, corner, outline, radius};
}

void appendOpaqueRows(const RectOp& op, const CrispBox& box, std::vector<QRect>& rows) {
    const QRect& o = box.outer;
    const int k = box.corner;
    if (!op.fill || k == 0) {
        if (op.fill)
            rows.push_back(o);
        return;
    }
    const CornerPicture& c = cornersFor(op, box.outline, box.radius);
    // The picture's column k + 1 lies on the box's column right - k.
    const int right = o.left() + o.width() - 2 * k - 1;
    for (int j = 0; j < 2 * k; ++j) {
        const auto [from, to] = c.opaque[size_t(j)];
        const int y = j < k ? o.top() + j : o.top() + o.height() - 2 * k + j;
        rows.emplace_back(o.left() + from, y, right + to - (o.left() + from) + 1, 1);
    }
    rows.emplace_back(o.left(), o.top() + k, o.width(), o.height() - 2 * k);
}

bool paintCrispBox(QPainter& painter, const RectOp& op, const PixelMap& map,
                   const PixelTarget* target) {
    const auto box = crispBoxOf(op, map);
    if (!box)
        return false;
    std::optional<DevicePixels> pixels;
    if (!target)
        pixels.emplace(painter, map);
    if (box->corner > 0)
        paintRounded({painter, target}, box->outer, cornersFor(op, box->outline, box->radius));
    else
        paintSquare({painter, target}, box->outer, box->outline, op);
    return true;
}

namespace {

// Dashes under three device pixels long are a haze: a solid line as faint as the dashes are
// sparse looks the same, and is a few rectangles instead of thousands.
std::optional<LinesOp> haze(const LinesOp& op, const PixelMap& map) {
    double on = 0, period = 0;
    size_t dashes = 0;
    for (size_t i = 0; i < op.dashPattern.size(); ++i) {
        period += std::abs(op.dashPattern[i]);
        if (i % 2 == 0) {
            on += std::abs(op.dashPattern[i]);
            ++dashes;
        }
    }
    if (dashes == 0 || !(period > 0) || on / double(dashes) * map.scale >= 3)
        return std::nullopt;
    LinesOp solid = op;
    solid.dashPattern.clear();
    solid.color.alpha *= on / period;
    return solid;
}

} // namespace

bool paintCrispLines(QPainter& painter, const LinesOp& op, const PixelMap& map,
                     const PixelTarget* target) {
    if (const auto solid = haze(op, map))
        return paintCrispLines(painter, *solid, map, target);
    const int width = map.width(op.lineWidth);
    if (op.cap == LineCap::round && width > 1)
        return false;
    for (const Line& line : op.lines) {
        if (line.from.x != line.to.x && line.from.y != line.to.y)
            return false;
    }
    std::vector<Upright> uprights;
    std::vector<QRect> rects, across;
    for (const Line& line : op.lines) {
        const bool down = line.from.x == line.to.x;
        const size_t first = down ? rects.size() : across.size();
        const int side = appendDashes(line, op, map, width, down ? rects : across);
        if (down && rects.size() > first)
            uprights.push_back(uprightOf(side, width, rects, first));
    }
    if (opaque(op.color)) {
        rects.insert(rects.end(), across.begin(), across.end());
    } else {
        // Where lines cross, painted once.
        std::sort(uprights.begin(), uprights.end(),
                  [](const Upright& a, const Upright& b) { return a.from < b.from; });
        for (const QRect& dash : across)
            appendUncrossed(dash, uprights, rects);
    }
    if (target) {
        const QRgb color = qPremultiply(toQColor(op.color).rgba());
        for (const QRect& rect : rects)
            target->fill(rect, color);
        return true;
    }
    const DevicePixels pixels(painter, map);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(toQColor(op.color));
    painter.drawRects(rects.data(), int(rects.size()));
    painter.restore();
    return true;
}

} // namespace pathwicks
