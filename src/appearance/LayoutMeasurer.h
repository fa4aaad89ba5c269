#pragma once

#include "model/TextMeasurer.h"

namespace pathwicks {

// What laying out a title in lines needs beyond its width: where the glyphs stand in a line.
class LayoutMeasurer : public TextMeasurer {
public:
    // Distance from the top of a line to its baseline.
    virtual double ascent(const TextAttributes& attributes) const = 0;
    // Distance from one line's top to the next.
    virtual double lineHeight(const TextAttributes& attributes) const = 0;
};

} // namespace pathwicks
