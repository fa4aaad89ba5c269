#include "cli/ExportPlan.h"

#include "model/ContentSize.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <sstream>

namespace pathwicks::cli {

namespace {

constexpr const char* usage =
    "usage: pathwicks export [--scale N] [--picture] [--grid] [--excerpts] [--permalinks] "
    "[--allow-missing] FILE OUT.svg|.png|.tour|.canvas|.md|.mmd|.html";
constexpr double maxPngSide = 16384;
// Beyond this an SVG would hold tens of thousands of grid lines: a stray coordinate, not a
// picture anyone wants.
constexpr double maxSvgSide = 1000000;

struct Extension {
    const char* name;
    ExportFormat format;
};

const Extension extensions[] = {
    {".svg", Picture::svg},
    {".png", Picture::png},
    {".tour", WalkthroughFormat::codeTour},
    {".canvas", WalkthroughFormat::jsonCanvas},
    {".md", WalkthroughFormat::markdown},
    {".mmd", WalkthroughFormat::mermaid},
    {".html", WalkthroughFormat::html},
};

// The options that go with Markdown only.
constexpr const char* markdownOptions[] = {"--picture", "--excerpts", "--permalinks"};

std::optional<std::string> scaleRefusal(const std::string& value) {
    if (value.size() == 1 && value[0] >= '1' && value[0] <= '8')
        return std::nullopt;
    return "the scale must be a whole number from 1 to 8, not \"" + value + "\"";
}

bool acceptsFiles(const Arguments& arguments, std::ostream& err) {
    const std::string& outPath = arguments.files[1];
    const auto format = exportFormatOf(outPath);
    if (!format) {
        err << "pathwicks export: " << outPath
            << ": unknown format (the name must end in .svg, .png, .tour, .canvas, .md, .mmd "
               "or .html)\n";
        return false;
    }
    if (arguments.has("--grid") && !std::holds_alternative<Picture>(*format) &&
        !arguments.has("--picture")) {
        err << "pathwicks export: --grid goes with a picture (.svg, .png, or .md with --picture) "
               "only\n"
            << usage << "\n";
        return false;
    }
    if (*format == ExportFormat(WalkthroughFormat::markdown))
        return true;
    for (const char* option : markdownOptions) {
        if (arguments.has(option)) {
            err << "pathwicks export: " << option << " goes with a Markdown file (.md) only\n"
                << usage << "\n";
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<ExportFormat> exportFormatOf(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (const auto& [name, format] : extensions)
        if (extension == name)
            return format;
    return std::nullopt;
}

std::vector<std::string> exportExtensions() {
    std::vector<std::string> names;
    for (const auto& extension : extensions)
        names.push_back(extension.name);
    return names;
}

// The options come before the document, and everything after it names a file.
Syntax exportSyntax() {
    const Option scale{.name = "--scale",
                       .needsValue = "--scale needs a number from 1 to 8",
                       .refusal = scaleRefusal};
    return {.command = "export",
            .usage = usage,
            .options = {scale,
                        {.name = "--picture"},
                        {.name = "--grid"},
                        {.name = "--excerpts"},
                        {.name = "--permalinks"},
                        {.name = "--allow-missing"}},
            .files = 2,
            .fileEndsOptions = true,
            .accepts = acceptsFiles};
}

ExportPlan exportPlan(const Arguments& arguments) {
    return {.documentPath = arguments.files[0],
            .outPath = arguments.files[1],
            .format = *exportFormatOf(arguments.files[1]),
            .scale = arguments.value("--scale").value_or("1")[0] - '0',
            .withPicture = arguments.has("--picture"),
            .allowMissing = arguments.has("--allow-missing"),
            .grid = arguments.has("--grid"),
            .excerpts = arguments.has("--excerpts"),
            .permalinks = arguments.has("--permalinks")};
}

Rect pictureArea(const StepsModel& model) {
    const Rect area = contentBounds(model);
    const auto items = itemBounds(model);
    if (!items)
        return area;
    const double minX = std::min(area.minX(), std::floor(items->minX() - pictureMargin));
    const double minY = std::min(area.minY(), std::floor(items->minY() - pictureMargin));
    const double maxX = std::max(area.maxX(), std::ceil(items->maxX() + pictureMargin));
    const double maxY = std::max(area.maxY(), std::ceil(items->maxY() + pictureMargin));
    return {minX, minY, maxX - minX, maxY - minY};
}

std::optional<std::string> pictureSizeRefusal(const Size& size, Picture format, int scale) {
    const double limit = format == Picture::png ? maxPngSide : maxSvgSide;
    if (!(size.width * scale > limit || size.height * scale > limit))
        return std::nullopt;
    std::ostringstream why;
    why << "the picture would be too large (" << size.width * scale << " by " << size.height * scale
        << (format == Picture::png ? " pixels" : "") << "; at most " << limit << " on a side)";
    return why.str();
}

} // namespace pathwicks::cli
