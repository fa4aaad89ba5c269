#pragma once

#include "model/Geometry.h"

#include <string>
#include <string_view>

namespace pathwicks {

// How titles are set: one typeface at two sizes, centred, in the default text colour.
struct TextAttributes {
    std::string fontName;
    double fontSize = 0;
    bool centred = true;
};

inline constexpr double referenceFontSize = 12;
inline constexpr double labelFontSize = 24;

const TextAttributes& referenceTextAttributes();
const TextAttributes& labelTextAttributes();

// Measures the single-line extent of a text; the shell measures with the real font, tests fake it.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual Size measureText(std::string_view text, const TextAttributes& attributes) const = 0;
};

// The smallest of 100, 140, 180, ... that leaves 20 points on each side of the text.
double fittedWidth(double measuredTextWidth);

// Gives the rectangle the fitted width while keeping its horizontal centre.
void fitWidth(Rect& rect, double measuredTextWidth);

} // namespace pathwicks
