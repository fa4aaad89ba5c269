#pragma once

#include "formats/MarkerSafety.h"
#include "model/StepsModel.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace pathwicks {

enum class WalkthroughFormat { codeTour, jsonCanvas, markdown, mermaid, html };

struct WalkthroughRequest {
    std::string documentPath = {}; // as the user named it: its name titles the walkthrough
    std::string documentFolder = {}; // where the markers are searched for
    std::string outPath = {};
    std::string picture = {}; // Markdown: a picture file beside outPath to show first, or none
    bool allowMissing = false; // CodeTour, HTML: boxes without a marker are written too
    std::string diagram = {};  // HTML: the diagram as an SVG document
    bool excerpts = false;     // Markdown: each stop's code below it
    bool permalinks = false;   // Markdown: links to the code host, as HTML always has
};

// How the format writes a character of an id so that no line of its file is a marker.
CharacterEscape markerEscapeOf(WalkthroughFormat format);

// The text of the walkthrough's file in the format, holding no marker of the document's ids, or
// nothing once what went wrong is on err: the folder cannot be searched, or, for CodeTour and
// HTML without allowMissing, some marker is missing (each such box named as "missing ID
// TITLE"). Which stops get a relative link instead of a permanent one, and why, is said on err
// too.
std::optional<std::string> exportWalkthrough(const StepsModel& model, WalkthroughFormat format,
                                             const WalkthroughRequest& request, std::ostream& err);

} // namespace pathwicks
