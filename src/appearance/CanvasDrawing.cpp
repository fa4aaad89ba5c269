#include "appearance/CanvasDrawing.h"

#include "appearance/MarkerStateMarks.h"
#include "appearance/TextLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>
#include <utility>

namespace pathwicks {

namespace {

constexpr double referenceCornerRadius = 8;
constexpr double referenceLineWidth = 2;
constexpr double referenceTitleOffset = 8;
constexpr double labelCornerRadius = 5;
// The note mark: a page with two lines of text, inset from the box's bottom right corner.
constexpr Size notePage = {9, 11};
constexpr double noteInset = 6;

bool isFinite(const Rect& r) {
    return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) &&
           std::isfinite(r.height);
}

Rect normalized(const Rect& r) {
    return {r.minX(), r.minY(), r.maxX() - r.minX(), r.maxY() - r.minY()};
}

Rect inflated(const Rect& r, double by) {
    return {r.minX() - by, r.minY() - by, r.maxX() - r.minX() + 2 * by,
            r.maxY() - r.minY() + 2 * by};
}

// Culling keeps a pixel of margin beyond every stroke, for antialiasing.
class Cull {
public:
    explicit Cull(const Rect& dirty) : dirty_(normalized(dirty)) {}

    bool shows(const Rect& extent) const {
        if (!isFinite(extent))
            return false;
        const Rect grown = inflated(extent, 1);
        return grown.minX() <= dirty_.maxX() && dirty_.minX() <= grown.maxX() &&
               grown.minY() <= dirty_.maxY() && dirty_.minY() <= grown.maxY();
    }

    const Rect& dirty() const { return dirty_; }

private:
    Rect dirty_;
};

Rect extentOf(const LinesOp& op) {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (const Line& line : op.lines) {
        for (Point p : {line.from, line.to}) {
            minX = std::min(minX, p.x);
            minY = std::min(minY, p.y);
            maxX = std::max(maxX, p.x);
            maxY = std::max(maxY, p.y);
        }
    }
    // Round caps and the line's own width reach half the width past each point.
    return inflated({minX, minY, maxX - minX, maxY - minY}, std::max(op.lineWidth, 1.0) / 2);
}

void appendGrid(DrawList& list, const CanvasViewport& viewport, const Cull& cull,
                const Color& color) {
    constexpr double dashPeriod = 4 + 6;
    LinesOp grid{{}, color, 1, LineCap::butt, {4, 6}, 10};
    const Rect& d = cull.dirty();
    const Point o = viewport.origin;
    const double right = o.x + viewport.bounds.width;
    const double bottom = o.y + viewport.bounds.height;
    // A canvas or an area without end would never finish.
    if (!(viewport.bounds.width >= 0) || !(viewport.bounds.height >= 0) || !std::isfinite(right) ||
        !std::isfinite(bottom) || !std::isfinite(o.x) || !std::isfinite(o.y) || !isFinite(d))
        return;
    // Only the lines that cross the painted area; the others could not touch it.
    auto range = [](double from, double to, double start, double limit) {
        const double first =
            std::max(std::ceil(start / gridSpacing), std::ceil((from - 1) / gridSpacing));
        const double last =
            std::min(std::floor(limit / gridSpacing), std::floor((to + 1) / gridSpacing));
        return std::pair{first, last};
    };
    // Each line only across the painted area. It still starts on a whole dash period, so its
    // dashes fall exactly where the full line's would.
    auto span = [](double from, double to, double start, double limit) {
        const double first = std::max(std::floor(start / dashPeriod) * dashPeriod,
                                      std::floor((from - 1) / dashPeriod) * dashPeriod);
        return std::pair{first, std::min(limit, to + 1)};
    };
    if (d.minY() - 1 <= bottom && d.maxY() + 1 >= o.y) {
        const auto [first, last] = range(d.minX(), d.maxX(), o.x, right);
        const auto [top, end] = span(d.minY(), d.maxY(), o.y, bottom);
        for (double i = first; i <= last; ++i)
            grid.lines.push_back({{gridSpacing * i, top}, {gridSpacing * i, end}});
    }
    if (d.minX() - 1 <= right && d.maxX() + 1 >= o.x) {
        const auto [first, last] = range(d.minY(), d.maxY(), o.y, bottom);
        const auto [left, end] = span(d.minX(), d.maxX(), o.x, right);
        for (double j = first; j <= last; ++j)
            grid.lines.push_back({{left, gridSpacing * j}, {end, gridSpacing * j}});
    }
    if (!grid.lines.empty())
        list.push_back(std::move(grid));
}

// The configuration's colours and sizes the items are drawn with, looked up once a drawing.
struct Palette {
    explicit Palette(const AppearanceConfig& config)
        : labelBackground(config.namedColor("LabelBackground")),
          labelText(config.namedColor("LabelText")),
          referenceBackground(config.namedColor("ReferenceBackground")),
          referenceBorder(config.namedColor("ReferenceBorder")),
          selectedBackground(config.namedColor("ReferenceSelectedBackground")),
          selectedBorder(config.namedColor("ReferenceSelectedBorder")),
          arrow(config.namedColor("Arrow")), arrowWidth(std::max(config.arrowLineWidth(), 0.0)),
          arrowGap(config.arrowGap()) {}
    Color labelBackground, labelText, referenceBackground, referenceBorder, selectedBackground,
        selectedBorder, arrow;
    double arrowWidth, arrowGap;
};

bool readable(TextStyle style, double scale) {
    return textAttributes(style).fontSize * scale >= smallestReadableText;
}

void appendLabel(DrawList& list, const Label& label, const Cull& cull, const Palette& palette,
                 const LayoutMeasurer& measurer, double scale) {
    const bool selected = label.selected;
    if (!cull.shows(inflated(label.rect, selected ? referenceLineWidth : 0)))
        return;
    // A selected label wears the selected references' outline.
    list.push_back(RectOp{label.rect, labelCornerRadius, palette.labelBackground,
                          selected ? std::optional(palette.selectedBorder) : std::nullopt,
                          selected ? referenceLineWidth : 1});
    if (readable(TextStyle::label, scale))
        appendText(list, label.title(), label.rect, TextStyle::label, palette.labelText,
                   measurer);
}

void appendMark(DrawList& list, const Reference& reference, const Cull& cull,
                const AppearanceConfig& config, const LayoutMeasurer& measurer,
                const MarkerStates& states, double scale) {
    const auto state = states.stateOf(reference);
    if (!state || *state == MarkerState::found || !cull.shows(markerMarkExtent(reference.rect)))
        return;
    appendMarkerMark(list, reference.rect, *state, states.placesOf(reference)->size(), config,
                     measurer, scale);
}

// A page in the box's bottom right corner, when the box has a note and room for the page.
void appendNoteMark(DrawList& list, const Rect& box, const Color& paper, const Color& ink,
                    double scale) {
    if (box.width < 3 * notePage.width || box.height < 2 * notePage.height ||
        notePage.height * scale < smallestReadableText)
        return;
    const double x = box.maxX() - noteInset - notePage.width;
    const double y = box.maxY() - noteInset - notePage.height;
    list.push_back(RectOp{{x, y, notePage.width, notePage.height}, 1, paper, ink, 1});
    list.push_back(LinesOp{{{{x + 2, y + 4}, {x + 7, y + 4}}, {{x + 2, y + 7}, {x + 7, y + 7}}},
                           ink,
                           1,
                           LineCap::butt,
                           {},
                           0});
}

void appendReference(DrawList& list, const Reference& reference, const Cull& cull,
                     const Palette& palette, const LayoutMeasurer& measurer, double scale) {
    const Rect& r = reference.rect;
    const Rect titleRect{r.x, r.y + referenceTitleOffset, r.width, r.height};
    if (!cull.shows(inflated(r, referenceLineWidth / 2)))
        return;
    const bool selected = reference.selected;
    list.push_back(RectOp{r, referenceCornerRadius,
                          selected ? palette.selectedBackground : palette.referenceBackground,
                          selected ? palette.selectedBorder : palette.referenceBorder,
                          referenceLineWidth});
    // Titles carry no colour of their own: the default text colour, black. A title longer
    // than its box shows is cut at the box's edge.
    if (readable(TextStyle::reference, scale))
        appendText(list, reference.displayTitle(), titleRect, TextStyle::reference, opaqueBlack,
                   measurer, normalized(r));
    if (!reference.note.empty())
        appendNoteMark(list, normalized(r),
                       selected ? palette.selectedBackground : palette.referenceBackground,
                       selected ? palette.selectedBorder : palette.referenceBorder, scale);
}

// Whether the segment comes within `by` of the rectangle (Liang and Barsky's clipping).
bool segmentMeets(const Line& line, const Rect& r, double by) {
    const double dx = line.to.x - line.from.x;
    const double dy = line.to.y - line.from.y;
    double enter = 0, leave = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {line.from.x - (r.minX() - by), (r.maxX() + by) - line.from.x,
                         line.from.y - (r.minY() - by), (r.maxY() + by) - line.from.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        if (enter > leave)
            return false;
    }
    return true;
}

void appendArrow(DrawList& list, LinesOp arrow, const Cull& cull) {
    // Arrows are drawn whole: cutting a line to the area moves its antialiased edge a little.
    // A long arrow whose box around it meets the area may still pass it by.
    if (!cull.shows(extentOf(arrow)))
        return;
    const double by = std::max(arrow.lineWidth, 1.0) / 2 + 1;
    if (std::any_of(arrow.lines.begin(), arrow.lines.end(),
                    [&](const Line& line) { return segmentMeets(line, cull.dirty(), by); }))
        list.push_back(std::move(arrow));
}

Point centre(const Rect& r) {
    return {r.x + r.width * 0.5, r.y + r.height * 0.5};
}

LinesOp arrowBetween(const Reference& source, const Reference& target,
                     const AppearanceConfig& config) {
    const double gap = config.arrowGap();
    return arrowLines(arrowEndpoint(source.rect, centre(target.rect), gap),
                      arrowEndpoint(target.rect, centre(source.rect), gap), config);
}

// Far out: the shaft alone, its head too small to see.
LinesOp shaftBetween(const Reference& source, const Reference& target, const Palette& palette) {
    const Point from = arrowEndpoint(source.rect, centre(target.rect), palette.arrowGap);
    const Point to = arrowEndpoint(target.rect, centre(source.rect), palette.arrowGap);
    return LinesOp{{{from, to}}, palette.arrow, palette.arrowWidth, LineCap::round, {}, 0};
}

void appendInteractionOverlay(DrawList& list, const std::vector<Arrow>& arrows,
                              const InteractionOverlay& overlay, const Cull& cull,
                              const AppearanceConfig& config) {
    if (overlay.rubberBand && cull.shows(*overlay.rubberBand))
        list.push_back(RectOp{normalized(*overlay.rubberBand), 0, config.namedColor("SelectArea"),
                              config.namedColor("SelectBorder"), 1});
    for (const Rect& handle : overlay.resizeHandles)
        if (cull.shows(handle))
            list.push_back(RectOp{handle, 0, Color{1, 1, 1, 1},
                                  config.namedColor("ReferenceSelectedBorder"), 1});
    if (!overlay.arrow || !overlay.arrow->from)
        return;
    const ArrowInProgress& arrow = *overlay.arrow;
    if (!arrow.target) {
        appendArrow(list,
                    arrowLines(arrowEndpoint(arrow.from->rect, arrow.pointer, config.arrowGap()),
                               arrow.pointer, config),
                    cull);
        return;
    }
    if (arrow.from == arrow.target)
        return;
    // An arrow that already exists in this direction is not drawn again.
    for (const auto& [source, target] : arrows) {
        if (source == arrow.from && target == arrow.target)
            return;
    }
    appendArrow(list, arrowBetween(*arrow.from, *arrow.target, config), cull);
}

} // namespace

Point arrowEndpoint(const Rect& box, Point p, double gap) {
    const double cx = box.x + box.width * 0.5;
    const double cy = box.y + box.height * 0.5;
    const double dx = p.x - cx;
    const double dy = p.y - cy;
    const double sx = std::signbit(dx) ? -1 : 1;
    const double sy = std::signbit(dy) ? -1 : 1;
    const double hw = box.width * 0.5 + gap;
    if (std::abs(dy) < 1) {
        if (dx > hw)
            return {cx + hw, cy};
        if (dx < -hw)
            return {cx - hw, cy};
        return {cx, cy};
    }
    const double hh = box.height * 0.5 + gap;
    if (std::abs(dx) < 1) {
        if (dy > hh)
            return {cx, cy + hh};
        if (dy < -hh)
            return {cx, cy - hh};
        return {cx, cy};
    }
    const double s = dy / dx;
    const double t = std::abs(s * hw);
    if (t > hh)
        return {cx + sx * std::abs(hh / s), cy + sy * hh};
    return {cx + sx * hw, cy + sy * t};
}

LinesOp arrowLines(Point from, Point to, const AppearanceConfig& config) {
    const double theta = std::atan2(from.x - to.x, from.y - to.y);
    const double e = config.arrowAngle() * std::numbers::pi / 180;
    const double length = config.arrowLength();
    const Point wingPlus{to.x + length * std::sin(theta + e), to.y + length * std::cos(theta + e)};
    const Point wingMinus{to.x + length * std::sin(theta - e), to.y + length * std::cos(theta - e)};
    // A negative width from the configuration draws as the thinnest line, like 0.
    return LinesOp{{{from, to}, {to, wingPlus}, {to, wingMinus}},
                   config.namedColor("Arrow"),
                   std::max(config.arrowLineWidth(), 0.0),
                   LineCap::round,
                   {},
                   0};
}

Rect addButtonRect(Point visibleOrigin) {
    return {visibleOrigin.x + addButtonInset, visibleOrigin.y + addButtonInset, addButtonSize,
            addButtonSize};
}

void appendAddButton(DrawList& list, Point origin, const AppearanceConfig& config) {
    const Rect square = addButtonRect(origin);
    const double ox = square.x;
    const double oy = square.y;
    const Color detail = config.namedColor("AddDetail");
    list.push_back(RectOp{square, 0, config.namedColor("AddArea"), detail, 2});
    list.push_back(
        LinesOp{{{{ox + 8, oy + 15}, {ox + 22, oy + 15}}, {{ox + 15, oy + 8}, {ox + 15, oy + 22}}},
                detail,
                2,
                LineCap::butt,
                {},
                0});
}

namespace {

// Every position of a list, for drawing without an index.
std::vector<uint32_t> allOf(size_t count) {
    std::vector<uint32_t> positions(count);
    for (size_t i = 0; i < count; ++i)
        positions[i] = uint32_t(i);
    return positions;
}

// Boxes lie scattered in memory, and a large document's do not stay in the processor's caches
// from one frame to the next: those a few items on are asked for early.
constexpr size_t lookAhead = 8;

void askEarly(const Reference* box) {
    if (box)
        __builtin_prefetch(&box->rect);
}

void askEarly(const Arrow& arrow) {
    askEarly(arrow.first.get());
    askEarly(arrow.second.get());
}

// Whether each shown arrow joins the same two boxes the same way as one shown before it: sorted
// by boxes and order, each but the first of a run is a repeat.
std::vector<bool> repeats(const std::vector<Arrow>& arrows, const std::vector<uint32_t>& shown) {
    using Key = std::tuple<const Reference*, const Reference*, size_t>;
    std::vector<Key> keys;
    keys.reserve(shown.size());
    for (size_t k = 0; k < shown.size(); ++k)
        keys.emplace_back(arrows[shown[k]].first.get(), arrows[shown[k]].second.get(), k);
    std::sort(keys.begin(), keys.end());
    std::vector<bool> repeated(shown.size());
    for (size_t k = 1; k < keys.size(); ++k) {
        const auto& [source, target, at] = keys[k];
        if (source == std::get<0>(keys[k - 1]) && target == std::get<1>(keys[k - 1]))
            repeated[at] = true;
    }
    return repeated;
}

// Arrows between the same two boxes in the same direction lie on one another, so each such
// pair is drawn once: a document holding a million copies of one arrow paints as fast as one
// holding it once.
// `repeated`: found once for all the arrows, by position (an index's), or else nothing.
void appendArrows(DrawList& list, const std::vector<Arrow>& arrows,
                  const std::vector<uint32_t>& shown, const std::vector<bool>* repeated,
                  const Cull& cull, const Palette& palette, const AppearanceConfig& config,
                  double scale) {
    // Heads a pixel or two long cannot be told from the shaft's end.
    const double head = std::abs(config.arrowLength()) * scale;
    const bool heads = !(head > 0 && head < smallestArrowHead);
    const std::vector<bool> repeatedShown = repeated ? std::vector<bool>() : repeats(arrows, shown);
    for (size_t k = 0; k < shown.size(); ++k) {
        if (k + lookAhead < shown.size())
            askEarly(arrows[shown[k + lookAhead]]);
        const auto& [source, target] = arrows[shown[k]];
        if (source && target && !(repeated ? (*repeated)[shown[k]] : repeatedShown[k]))
            appendArrow(list,
                        heads ? arrowBetween(*source, *target, config)
                              : shaftBetween(*source, *target, palette),
                        cull);
    }
}

// Selected boxes lie on top of the others. Far out, where a mark is a badge of a few pixels,
// the badges of a pass go above all its boxes: none is hidden by a neighbour, and the boxes and
// the badges are each painted as one run.
void appendReferences(DrawList& list, const std::vector<ReferencePtr>& references,
                      const std::vector<uint32_t>& shown, const Cull& cull, const Palette& palette,
                      const AppearanceConfig& config, const LayoutMeasurer& measurer,
                      const MarkerStates* states, double scale) {
    const bool badgesApart = scale < badgeOnlyScale;
    for (bool selectedPass : {false, true}) {
        for (size_t k = 0; k < shown.size(); ++k) {
            if (k + lookAhead < shown.size())
                askEarly(references[shown[k + lookAhead]].get());
            const ReferencePtr& reference = references[shown[k]];
            if (!reference || reference->selected != selectedPass)
                continue;
            appendReference(list, *reference, cull, palette, measurer, scale);
            // Above its box; it reaches past the box, so it is culled by its own extent.
            if (states && !badgesApart)
                appendMark(list, *reference, cull, config, measurer, *states, scale);
        }
        if (!states || !badgesApart)
            continue;
        for (uint32_t i : shown) {
            const ReferencePtr& reference = references[i];
            if (reference && reference->selected == selectedPass)
                appendMark(list, *reference, cull, config, measurer, *states, scale);
        }
    }
}

DrawList drawItems(const std::vector<LabelPtr>& labels, const std::vector<Arrow>& arrows,
                   const std::vector<bool>* repeatedArrows,
                   const std::vector<ReferencePtr>& references,
                   const DrawingIndex::Candidates& shown, const InteractionOverlay& overlay,
                   const CanvasViewport& viewport, const AppearanceConfig& config,
                   const LayoutMeasurer& measurer, const MarkerStates* states) {
    DrawList list;
    // An op for each label, arrow and box, and a title for most: no growing on the way.
    list.reserve(2 + 2 * shown.labels.size() + shown.arrows.size() +
                 (states ? 4 : 3) * shown.references.size());
    const Cull cull(viewport.dirty);
    const Palette palette(config);
    list.push_back(
        RectOp{viewport.dirty, 0, config.namedColor("CanvasBackground"), std::nullopt, 1});
    // Grid lines closer than this are a haze over the boxes, not a guide: far out they go.
    if (viewport.grid && gridSpacing * viewport.scale >= smallestGridSpacing)
        appendGrid(list, viewport, cull, config.namedColor("CanvasGrid"));

    for (uint32_t i : shown.labels) {
        if (const LabelPtr& label = labels[i])
            appendLabel(list, *label, cull, palette, measurer, viewport.scale);
    }
    appendArrows(list, arrows, shown.arrows, repeatedArrows, cull, palette, config,
                 viewport.scale);
    appendReferences(list, references, shown.references, cull, palette, config, measurer, states,
                     viewport.scale);
    appendInteractionOverlay(list, arrows, overlay, cull, config);
    return list;
}

} // namespace

DrawList drawCanvas(const StepsModel& model, const InteractionOverlay& overlay,
                    const CanvasViewport& viewport, const AppearanceConfig& config,
                    const LayoutMeasurer& measurer, const MarkerStates* states) {
    const DrawingIndex::Candidates all{allOf(model.labels.size()), allOf(model.arrows.size()),
                                       allOf(model.content().size())};
    return drawItems(model.labels, model.arrows, nullptr, model.content(), all, overlay, viewport,
                     config, measurer, states);
}

DrawList drawCanvas(const DrawingIndex& index, const InteractionOverlay& overlay,
                    const CanvasViewport& viewport, const AppearanceConfig& config,
                    const LayoutMeasurer& measurer, const MarkerStates* states) {
    DrawingIndex::Candidates shown;
    Rect area = Cull(viewport.dirty).dirty();
    if (states) {
        // A box just outside the painted area may reach into it with its mark.
        const Rect reach = markerMarkExtent(Rect{});
        area = inflated(area, std::max({-reach.x, -reach.y, reach.x + reach.width,
                                        reach.y + reach.height}));
    }
    index.query(area, shown);
    return drawItems(index.labels(), index.arrows(), &index.repeatedArrows(), index.references(),
                     shown, overlay, viewport, config, measurer, states);
}

double arrowReach(const AppearanceConfig& config) {
    // The head's wings, the stroke and antialiasing; the gap only shortens the arrow.
    return std::abs(config.arrowLength()) + std::abs(config.arrowLineWidth()) + 2;
}

} // namespace pathwicks
