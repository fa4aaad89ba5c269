#pragma once

#include "appearance/DrawList.h"

#include <string>

namespace pathwicks {

// Writes a drawing list as an SVG picture of the given size, its text kept as text.
class SvgWriter {
public:
    // fontFamily: the CSS font-family list the titles are set in; put the family that the
    // text was measured with first, so that wrapping matches.
    explicit SvgWriter(std::string fontFamily);

    // The picture shows the part of the plane that starts at origin.
    std::string write(const DrawList& list, const Size& size, Point origin = {}) const;

private:
    std::string fontFamily_;
};

} // namespace pathwicks
