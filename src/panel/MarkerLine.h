#pragma once

#include "model/Reference.h"

#include <optional>
#include <string>
#include <string_view>

namespace pathwicks {

// The comment that ties a reference to its place in the code: "// <id> <title>" and a line feed.
std::string markerLine(const Reference& reference);

struct Marker {
    std::string id;
    std::string title;
};

// A marker line read back, line ends (also a CR from a CRLF file) ignored; the title keeps its
// spaces as they were. Nothing unless the text starts "// pathwick-" and has a title part after the
// id.
std::optional<Marker> parseMarkerLine(std::string_view text);

} // namespace pathwicks
