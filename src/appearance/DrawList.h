#pragma once

#include "appearance/Color.h"
#include "model/Geometry.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace pathwicks {

// The drawing of a canvas as plain values, with every colour already resolved. The shell
// paints it with its own painter; export writes it as SVG or PNG. Later operations paint over
// earlier ones.

// A rectangle, with rounded corners when radius > 0: filled, then its outline stroked.
struct RectOp {
    Rect rect;
    double radius = 0;
    std::optional<Color> fill;
    std::optional<Color> stroke;
    double lineWidth = 1;
};

struct Line {
    Point from;
    Point to;
};

enum class LineCap { butt, round };

// Open line segments stroked as one path, so that where they meet is painted once.
// A line width of 0 means the thinnest line the output device can show.
struct LinesOp {
    std::vector<Line> lines;
    Color color;
    double lineWidth = 1;
    LineCap cap = LineCap::butt;
    std::vector<double> dashPattern; // empty: solid
    double dashPhase = 0;
};

enum class TextStyle { reference, label };

// One line of a title, already wrapped. Centred on centerX; the glyphs sit on the baseline;
// nothing shows outside clip.
struct TextOp {
    std::string text;
    TextStyle style = TextStyle::reference;
    double centerX = 0;
    double baseline = 0;
    double width = 0; // as measured
    Rect clip;
    Color color;
};

using DrawOp = std::variant<RectOp, LinesOp, TextOp>;
using DrawList = std::vector<DrawOp>;

} // namespace pathwicks
