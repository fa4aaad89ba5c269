#include "formats/WalkthroughExport.h"

#include "formats/CodeTour.h"
#include "formats/HtmlTour.h"
#include "formats/JsonCanvas.h"
#include "formats/MarkdownTour.h"
#include "formats/MarkerSafety.h"
#include "formats/MermaidChart.h"
#include "formats/StopLinks.h"
#include "formats/TourStops.h"

#include <filesystem>
#include <ostream>

namespace pathwicks {

namespace {

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

// True, after naming each box whose marker is missing, when that keeps the file from being
// written.
bool refusedForMissing(const TourStops& stops, WalkthroughFormat format,
                       const WalkthroughRequest& request, std::ostream& err) {
    size_t missing = 0;
    for (const auto& stop : stops.stops) {
        if (stop.place || stop.box->isWebAddress())
            continue;
        ++missing;
        if (!request.allowMissing)
            err << "missing " << oneLine(stop.box->id) << " " << oneLine(stop.box->title) << "\n";
    }
    if (missing == 0 || request.allowMissing)
        return false;
    err << "pathwicks export: " << request.outPath << ": " << missing
        << (missing == 1 ? " marker" : " markers")
        << " not found; nothing written (--allow-missing writes such boxes "
        << (format == WalkthroughFormat::codeTour ? "as steps without a file)\n"
                                                  : "with \"marker not found\")\n");
    return true;
}

std::optional<std::string> walkthroughText(const StepsModel& model, WalkthroughFormat format,
                                           const WalkthroughRequest& request, std::ostream& err) {
    namespace fs = std::filesystem;
    auto found = findTourStops(model, request.documentFolder);
    if (auto* error = std::get_if<std::string>(&found)) {
        err << "pathwicks export: cannot search the document's folder: " << *error << "\n";
        return std::nullopt;
    }
    const TourStops& stops = std::get<TourStops>(found);
    if (stops.unreadable > 0)
        err << "pathwicks export: " << stops.unreadable
            << " files or folders below the document's folder could not be read\n";

    const std::string name = fs::path(request.documentPath).stem().string();
    const fs::path parent = fs::path(request.outPath).parent_path();
    const std::string outFolder = parent.empty() ? std::string(".") : parent.string();
    switch (format) {
    case WalkthroughFormat::codeTour:
        if (refusedForMissing(stops, format, request, err))
            return std::nullopt;
        return codeTour(name, stops.stops);
    case WalkthroughFormat::html:
        if (refusedForMissing(stops, format, request, err))
            return std::nullopt;
        return htmlTour(name, model, stops.stops, request.documentFolder, request.diagram,
                        stopLinks(stops.stops, request.documentFolder, outFolder, true, err));
    case WalkthroughFormat::jsonCanvas:
        return jsonCanvas(model, stops);
    case WalkthroughFormat::markdown:
        return markdownTour(
            name, stops.stops, model.labels,
            {request.documentFolder, outFolder, request.picture,
             stopLinks(stops.stops, request.documentFolder, outFolder, request.permalinks, err),
             request.excerpts});
    case WalkthroughFormat::mermaid:
        return mermaidChart(model, stops, request.documentFolder, outFolder);
    }
    return std::nullopt;
}

} // namespace

CharacterEscape markerEscapeOf(WalkthroughFormat format) {
    switch (format) {
    case WalkthroughFormat::codeTour:
    case WalkthroughFormat::jsonCanvas: return jsonCharacter;
    case WalkthroughFormat::markdown:
    case WalkthroughFormat::html: return xmlCharacter;
    case WalkthroughFormat::mermaid: return mermaidCharacter;
    }
    return xmlCharacter;
}

std::optional<std::string> exportWalkthrough(const StepsModel& model, WalkthroughFormat format,
                                             const WalkthroughRequest& request, std::ostream& err) {
    auto text = walkthroughText(model, format, request, err);
    if (text)
        text = withoutMarkers(std::move(*text), markerIds(model), markerEscapeOf(format));
    return text;
}

} // namespace pathwicks
