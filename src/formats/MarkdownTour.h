#pragma once

#include "formats/TourStops.h"

#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

struct MarkdownPlaces {
    std::string documentFolder; // where the markers' paths start
    std::string outputFolder;   // the Markdown file's folder, where its links start
    std::string picture;        // a picture's file name in that folder to show first, or none
    std::vector<std::string> links = {}; // where each stop's place leads (formats/StopLinks)
    bool excerpts = false;      // each stop's code in a fenced block below it
};

// The walkthrough as CommonMark: a heading with its name, then an ordered list of the stops:
// each title in bold with a link to its marker's line (relative links start with "./"), a web
// link's address, or "(marker not found)"; with excerpts, the marker's line and the lines after
// it below.
std::string markdownTour(const std::string& name, const std::vector<TourStop>& stops,
                         const MarkdownPlaces& places);

// Text that reads as itself wherever inline Markdown stands: line breaks become spaces, and
// characters that would start emphasis, code, links, HTML or entities are escaped.
std::string markdownText(std::string_view text);

} // namespace pathwicks
