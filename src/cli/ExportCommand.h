#pragma once

#include "cli/ExportPlan.h"
#include "model/StepsModel.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace pathwicks::cli {

// Draws the document's canvas over area as a picture (the shell does, with Qt): its bytes, or
// nothing once a message naming outPath is on err.
using PictureMaker = std::function<std::optional<std::string>(
    const StepsModel& model, const Rect& area, Picture format, int scale,
    const std::string& outPath, std::ostream& err)>;

// pathwicks export [--scale N] [--picture] [--excerpts] [--permalinks] [--allow-missing] FILE
// OUT: the document in the format OUT's extension names: the canvas as a picture (.svg, .png),
// with nothing selected and no add button, N (1 to 8) scaling PNG pixels; or the walkthrough in
// tour order as a CodeTour tour (.tour), JSON Canvas (.canvas), Markdown (.md, with --picture an
// SVG beside it shown first, with --excerpts each stop's code, with --permalinks links to the
// code host), a Mermaid flowchart (.mmd) or one HTML page that needs nothing else (.html, the
// SVG drawing inline). 0 on success; 1 when FILE is no document, OUT cannot be written, the
// picture would be too large or, for a tour or a page without --allow-missing, a marker is
// missing; 2 for bad usage or an unknown extension. Never writes over FILE. Pictures come from
// makePicture, after their size is checked.
int runExport(const std::vector<std::string>& args, std::ostream& err,
              const PictureMaker& makePicture);

} // namespace pathwicks::cli
