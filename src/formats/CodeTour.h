#pragma once

#include "formats/TourStops.h"

#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

// A CodeTour tour file: the title, then one step per stop. A box with a marker becomes a step
// on its file with a pattern matching its marker line; a web link, or a box whose marker was
// not found, a step with only a description.
std::string codeTour(const std::string& title, const std::vector<TourStop>& stops);

// A JavaScript regular expression that matches the given line, and no other, in a text
// searched line by line (CodeTour searches with the "m" flag): the line's text with every
// character that means something in a pattern escaped, spaces and tabs around it allowed to
// change. When the line is the marker of id, one character of the id stands as a class of its
// own, so that the pattern itself is no marker.
std::string linePattern(std::string_view line, std::string_view id = {});

} // namespace pathwicks
