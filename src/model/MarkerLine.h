#pragma once

#include "model/Reference.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

// A comment style a marker line is copied in: the opener, and for block comments the closer.
struct MarkerStyle {
    std::string_view opener;
    std::string_view closer; // empty for a line comment
};

// The styles the panel offers, "//" first.
const std::vector<MarkerStyle>& markerStyles();
// The style with that opener; "//" for one not offered.
const MarkerStyle& markerStyleOf(std::string_view opener);

// The comment that ties a reference to its place in the code, one line ending in a line feed:
// "// <id> <title>", or "/* <id> <title> */" in a block style. It comments out nothing else:
// line breaks and other control characters become spaces, a closer inside the title is broken
// with a space, and trailing spaces and backslashes are dropped (a trailing backslash would carry
// a line comment on to the next line of code).
std::string markerLine(const Reference& reference, const MarkerStyle& style = markerStyles()[0]);

struct Marker {
    std::string id;
    std::string title; // nothing when the line holds only the id
    bool hasTitle = false;
};

// The first marker line in text that the marker rule (model/MarkerRule) accepts for an id
// beginning "pathwick-", in any comment style, indented or after code, or a line that is such an
// id alone. The title is what follows the id and one blank, line ends and a block comment's
// closer left out; it keeps its spaces as they were otherwise.
std::optional<Marker> parseMarkerLine(std::string_view text);

} // namespace pathwicks
