#pragma once

#include "formats/CodeExcerpt.h"
#include "formats/TourStops.h"

#include <optional>
#include <string>
#include <vector>

namespace pathwicks {

// The walkthrough as one HTML page (formats/HtmlPage): the diagram (an SVG document), the
// labels, and each stop with its note, its place linked to links[i] and its code read from
// the document's folder.
std::string htmlTour(const std::string& name, const StepsModel& model,
                     const std::vector<TourStop>& stops, const std::string& documentFolder,
                     const std::string& diagram, const std::vector<std::string>& links);

// The marker's line and those after it from the stop's file; none when it has no place or
// the file cannot be read.
std::optional<CodeExcerpt> stopExcerpt(const TourStop& stop, const std::string& documentFolder);

} // namespace pathwicks
