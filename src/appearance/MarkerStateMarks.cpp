#include "appearance/MarkerStateMarks.h"

#include "appearance/TextLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace pathwicks {

namespace {

constexpr double frameGap = 4;      // between the box's border and the dashed frame
constexpr double frameRadius = 12;  // the box's corner radius plus the gap
constexpr double frameWidth = 2;
constexpr double badgeHeight = 16;
constexpr double badgeDigitWidth = 7;
constexpr int cornerSegments = 6;

// The badge's pill, centred on the box's top right corner.
Rect badgeRect(const Rect& box, size_t characters) {
    const double width = badgeHeight + badgeDigitWidth * double(std::max<size_t>(characters, 1) - 1);
    return {box.maxX() - width / 2, box.minY() - badgeHeight / 2, width, badgeHeight};
}

// The rounded frame as one closed run of segments, so that its dashes run on round the corners.
std::vector<Line> roundedFrame(const Rect& r, double radius) {
    radius = std::min({radius, r.width / 2, r.height / 2});
    const Point centres[] = {{r.maxX() - radius, r.minY() + radius},
                             {r.maxX() - radius, r.maxY() - radius},
                             {r.minX() + radius, r.maxY() - radius},
                             {r.minX() + radius, r.minY() + radius}};
    std::vector<Point> points;
    for (int corner = 0; corner < 4; ++corner) {
        // From the top right corner clockwise; angles grow downward on the canvas.
        const double start = (corner - 1) * std::numbers::pi / 2;
        for (int i = 0; i <= cornerSegments; ++i) {
            const double angle = start + i * (std::numbers::pi / 2) / cornerSegments;
            points.push_back({centres[corner].x + radius * std::cos(angle),
                              centres[corner].y + radius * std::sin(angle)});
        }
    }
    std::vector<Line> lines;
    for (size_t i = 0; i < points.size(); ++i)
        lines.push_back({points[i], points[(i + 1) % points.size()]});
    return lines;
}

} // namespace

Rect markerMarkExtent(const Rect& box) {
    const double reach = frameGap + frameWidth;
    // Room for a badge of up to six digits.
    const Rect badge = badgeRect(box, 6);
    const double minY = std::min(box.minY() - reach, badge.minY());
    const double maxX = std::max(box.maxX() + reach, badge.maxX());
    return {box.minX() - reach, minY, maxX - (box.minX() - reach), box.maxY() + reach - minY};
}

void appendMarkerMark(DrawList& list, const Rect& box, MarkerState state, size_t places,
                      const AppearanceConfig& config, const LayoutMeasurer& measurer,
                      double scale) {
    if (state == MarkerState::found)
        return;
    const bool missing = state == MarkerState::missing;
    const Color color = config.namedColor(missing ? "MarkerMissing" : "MarkerDuplicated");
    const Rect frame{box.minX() - frameGap, box.minY() - frameGap, box.width + 2 * frameGap,
                     box.height + 2 * frameGap};
    const bool badgeOnly = scale < badgeOnlyScale;
    // Far out the frame's dashes would be a faint haze around a box of a few pixels.
    if (!badgeOnly)
        list.push_back(LinesOp{roundedFrame(frame, frameRadius), color, frameWidth,
                               LineCap::butt, {6, 4}, 0});

    const std::string text = missing ? "!" : std::to_string(places);
    const Rect badge = badgeRect(box, text.size());
    list.push_back(RectOp{badge, badgeHeight / 2, color, std::nullopt, 1});
    if (badgeOnly)
        return;
    const TextAttributes& attributes = textAttributes(TextStyle::reference);
    const double top = badge.minY() + (badgeHeight - measurer.lineHeight(attributes)) / 2;
    list.push_back(TextOp{text, TextStyle::reference, badge.x + badge.width / 2,
                          top + measurer.ascent(attributes),
                          measurer.measureText(text, attributes).width, badge,
                          config.namedColor("MarkerBadgeText")});
}

} // namespace pathwicks
