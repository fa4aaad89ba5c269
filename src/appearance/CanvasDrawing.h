#pragma once

#include "appearance/AppearanceConfig.h"
#include "appearance/DrawList.h"
#include "appearance/DrawingIndex.h"
#include "appearance/InteractionOverlay.h"
#include "appearance/LayoutMeasurer.h"
#include "model/MarkerStates.h"
#include "model/StepsModel.h"

namespace pathwicks {

// Where the canvas is being drawn.
struct CanvasViewport {
    Size bounds; // the whole canvas, from origin on; the grid covers it
    // The area being painted. What lies wholly outside it is left out of the list, which
    // changes no pixel inside it.
    Rect dirty;
    Point origin = {}; // where the canvas starts: left of or above 0 when content lies there
    // View pixels per document point. Titles too small to read at it are left out.
    double scale = 1;
    bool grid = true; // exported pictures leave it out unless asked for
};

// Text smaller than this many view pixels is not drawn.
inline constexpr double smallestReadableText = 5;
// Far out, a grid whose lines would lie closer than this many view pixels (its dashes then
// a pixel or two long, a tint more than a guide) is not drawn, and arrows whose heads would be
// shorter than this many are drawn as bare shafts.
inline constexpr double smallestGridSpacing = 30;
inline constexpr double smallestArrowHead = 2;

// The canvas, back to front: background, grid, labels, arrows, unselected then selected
// references (a box with a note carries a small page in its bottom right corner), and the
// rubber band or the arrow being dragged out. With states, each box whose
// marker the last check did not find exactly once carries its mark.
DrawList drawCanvas(const StepsModel& model, const InteractionOverlay& overlay,
                    const CanvasViewport& viewport, const AppearanceConfig& config,
                    const LayoutMeasurer& measurer, const MarkerStates* states = nullptr);
// The same from an index of the model's items: only those filed near the painted area are
// visited, so a screenful of a large document draws as fast as a small one.
DrawList drawCanvas(const DrawingIndex& index, const InteractionOverlay& overlay,
                    const CanvasViewport& viewport, const AppearanceConfig& config,
                    const LayoutMeasurer& measurer, const MarkerStates* states = nullptr);
// How far an arrow's drawing may stray from the line between its boxes' centres, for
// building a DrawingIndex.
double arrowReach(const AppearanceConfig& config);

// The add button's square when the visible part of the canvas starts at visibleOrigin: it
// stays in that corner whatever is scrolled into view.
Rect addButtonRect(Point visibleOrigin);
// The add button: a 30 by 30 square with a plus, 4 points in from origin.
void appendAddButton(DrawList& list, Point origin, const AppearanceConfig& config);

// Where the line from the centre of box toward p leaves the box grown by gap on every side.
Point arrowEndpoint(const Rect& box, Point p, double gap);

// The shaft from `from` to the head at `to`, and the head's two wings, as one stroke.
LinesOp arrowLines(Point from, Point to, const AppearanceConfig& config);

inline constexpr double gridSpacing = 100;
inline constexpr double addButtonInset = 4;
inline constexpr double addButtonSize = 30;

} // namespace pathwicks
