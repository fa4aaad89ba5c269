#pragma once

#include "formats/CodeExcerpt.h"
#include "model/Geometry.h"

#include <optional>
#include <string>
#include <vector>

namespace pathwicks {

// One stop of the page, in tour order.
struct HtmlStop {
    std::string title = {};
    std::string note = {};  // Markdown
    Rect box = {};          // where its box is drawn in the diagram
    std::string place = {}; // "PATH:LINE", or empty for a web link or a missing marker
    std::string link = {};  // where the place or web link leads; empty for nowhere
    std::optional<CodeExcerpt> excerpt = {}; // none when the marker was not found
    bool webLink = false;
};

struct HtmlPageContent {
    std::string name = {};                // the walkthrough's name, its title
    std::string diagram = {};             // the diagram as an SVG document
    std::vector<std::string> labels = {}; // the labels' texts in reading order
    std::vector<HtmlStop> stops = {};
};

// The walkthrough as one HTML file that needs nothing else: the diagram inline, each box a
// link to its stop, the labels, then the stops with their notes, places and code. Its own
// script reads it as a tour (#stop-N; Right, Space and Page Down go on, Left and Page Up back)
// and highlights the current box. Its Content-Security-Policy allows nothing but its own
// script and style, by hash.
std::string htmlPage(const HtmlPageContent& content);

// The page's script and style, as they stand in the page and as its policy hashes them.
const std::string& htmlPageScript();
const std::string& htmlPageStyle();

} // namespace pathwicks
