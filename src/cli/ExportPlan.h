#pragma once

// What `pathwicks export` was asked for: the format by the output's extension, the options and
// which formats they go with, and how large a picture may be. No drawing here.

#include "cli/Arguments.h"
#include "formats/WalkthroughExport.h"
#include "model/Geometry.h"
#include "model/StepsModel.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace pathwicks::cli {

enum class Picture { svg, png };
using ExportFormat = std::variant<Picture, WalkthroughFormat>;

// The format the extension of path names, in any case: .svg, .png, .tour (CodeTour), .canvas
// (JSON Canvas), .md (Markdown), .mmd (Mermaid), .html (one page); nothing for any other.
std::optional<ExportFormat> exportFormatOf(const std::string& path);
// Every extension export knows, with its dot, in the order of the usage line.
std::vector<std::string> exportExtensions();

// export's options and its two files: --scale N (1 to 8), --picture, --excerpts and
// --permalinks (with a Markdown file only), --allow-missing, --grid (with a picture: .svg, .png,
// or .md with --picture); an output of an unknown format is bad usage.
Syntax exportSyntax();

struct ExportPlan {
    std::string documentPath;
    std::string outPath;
    ExportFormat format;
    int scale = 1;             // pixels per point of a PNG picture
    bool withPicture = false;  // Markdown: an SVG picture beside it, shown first
    bool allowMissing = false; // CodeTour, HTML: boxes without a marker are written too
    bool grid = false;         // pictures: the canvas's grid drawn behind the items
    bool excerpts = false;     // Markdown: each stop's code below it
    bool permalinks = false;   // Markdown: links to the code host

    bool operator==(const ExportPlan&) const = default;
};

// The plan of arguments that exportSyntax accepted.
ExportPlan exportPlan(const Arguments& arguments);

// The least margin a picture leaves around the items on every side, in points.
inline constexpr double pictureMargin = 20;

// The part of the plane a picture of the model shows: the canvas's content bounds
// (model/ContentSize), widened where needed to leave pictureMargin around the items.
Rect pictureArea(const StepsModel& model);

// Why a picture of content this large, at this scale, is not made; nothing when it may be.
std::optional<std::string> pictureSizeRefusal(const Size& size, Picture format, int scale);

} // namespace pathwicks::cli
