#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pathwicks {

// pathwicks export [--scale N] [--picture] [--allow-missing] FILE OUT: the document in the
// format OUT's extension names: the canvas as a picture (.svg, .png), with nothing selected and
// no add button, N (1 to 8) scaling PNG pixels; or the walkthrough in tour order as a CodeTour
// tour (.tour), JSON Canvas (.canvas), Markdown (.md, with --picture an SVG beside it shown
// first) or a Mermaid flowchart (.mmd). 0 on success; 1 when FILE is no document, OUT cannot
// be written, the PNG would be too large or, for a tour without --allow-missing, a marker is
// missing; 2 for bad usage or an unknown extension. Runs without a display.
int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace pathwicks
