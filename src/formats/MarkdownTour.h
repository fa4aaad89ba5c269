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

// The walkthrough as CommonMark: a heading with its name, or with the text of the topmost label
// when a label lies above every box; the picture; then an ordered list of the stops: each title
// in bold with a link to its marker's line (relative links start with "./"), a web link's
// address, or "(marker not found)", its note (Markdown, kept as written) below it, and with
// excerpts the marker's line and the lines after it. Every other label is a paragraph of its
// text as written, before the first stop whose box reads after it (model/ReadingOrder).
std::string markdownTour(const std::string& name, const std::vector<TourStop>& stops,
                         const std::vector<LabelPtr>& labels, const MarkdownPlaces& places);

// Text as a paragraph that reads as itself: each line as markdownText, escaped where it would
// start a block, the lines kept apart by hard breaks.
std::string markdownParagraph(std::string_view text);

// Text that reads as itself wherever inline Markdown stands: line breaks become spaces, and
// characters that would start emphasis, code, links, HTML or entities are escaped.
std::string markdownText(std::string_view text);

} // namespace pathwicks
