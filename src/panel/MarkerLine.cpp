#include "panel/MarkerLine.h"

#include <vector>

namespace pathwicks {

std::string markerLine(const Reference& reference) {
    return "// " + reference.id + " " + reference.title + "\n";
}

std::optional<Marker> parseMarkerLine(std::string_view text) {
    std::string joined;
    for (char c : text) {
        if (c != '\n' && c != '\r')
            joined += c;
    }
    // Split at every single space: runs of spaces give empty parts, which rebuild the title.
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t space = joined.find(' ', start);
        parts.push_back(joined.substr(start, space - start));
        if (space == std::string::npos)
            break;
        start = space + 1;
    }
    if (parts.size() < 3 || parts[0] != "//" || !parts[1].starts_with("pathwick-"))
        return std::nullopt;
    Marker marker{parts[1], parts[2]};
    for (size_t i = 3; i < parts.size(); ++i)
        marker.title += " " + parts[i];
    return marker;
}

} // namespace pathwicks
