#pragma once

#include "formats/TourStops.h"
#include "model/StepsModel.h"

#include <string>
#include <string_view>

namespace pathwicks {

// The document as a Mermaid flowchart, top to bottom when its items reach further down than
// across and left to right otherwise: a node per box with its title, an edge per arrow, and a
// click link from each box whose marker was found to PATH#LLINE, the path taken from
// linkFolder (the chart's folder) to the marker's file.
std::string mermaidChart(const StepsModel& model, const TourStops& stops,
                         const std::string& documentFolder, const std::string& linkFolder);

// A title as a quoted Mermaid label that shows it as written: quotes, '#', '%', '&', '<', '>'
// and backquotes as entity codes, line breaks as <br>, other control characters as spaces.
std::string mermaidLabel(std::string_view title);

} // namespace pathwicks
