#pragma once

#include "formats/MarkerSafety.h"
#include "model/StepsModel.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace pathwicks {

enum class WalkthroughFormat { codeTour, jsonCanvas, markdown, mermaid };

struct WalkthroughRequest {
    std::string documentPath = {}; // as the user named it: its name titles the walkthrough
    std::string documentFolder = {}; // where the markers are searched for
    std::string outPath = {};
    std::string picture = {}; // Markdown: a picture file beside outPath to show first, or none
    bool allowMissing = false; // CodeTour: boxes without a marker become steps without a file
};

// How the format writes a character of an id so that no line of its file is a marker.
CharacterEscape markerEscapeOf(WalkthroughFormat format);

// The text of the walkthrough's file in the format, holding no marker of the document's ids, or nothing once what went wrong is on err:
// the folder cannot be searched, or, for CodeTour without allowMissing, some marker is missing
// (each such box named as "missing ID TITLE").
std::optional<std::string> exportWalkthrough(const StepsModel& model, WalkthroughFormat format,
                                             const WalkthroughRequest& request, std::ostream& err);

} // namespace pathwicks
