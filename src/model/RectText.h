#pragma once

#include "model/Geometry.h"

#include <string>
#include <string_view>

namespace pathwicks {

// Rectangles are stored as text of the form "{{x, y}, {width, height}}".

// The largest magnitude a stored coordinate may have; anything beyond is clamped to it.
inline constexpr double coordinateLimit = 1'000'000;

// Reads the first four numbers in the text as x, y, width and height; missing ones are 0.
// A number is an optional sign, digits with an optional fraction, and an optional exponent.
// A number too large to be finite reads as 0; finite ones are clamped to the coordinate limit.
Rect rectFromString(std::string_view text);
// Whether the text holds the four numbers of a rectangle, so that nothing is made up for it.
bool holdsRect(std::string_view text);

std::string stringFromRect(const Rect& rect);

// Integral values without a fraction ("120"), others in the shortest text that reads back to
// the very same value ("0.1", "1e-07"). Values that are not finite are written as 0.
std::string formatNumber(double value);

} // namespace pathwicks
