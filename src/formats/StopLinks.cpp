#include "formats/StopLinks.h"

#include "formats/Permalinks.h"
#include "model/PrintableText.h"

#include <ostream>

namespace pathwicks {

std::string relativeLink(std::string_view path) {
    return (path.starts_with('/') ? "" : "./") + linkDestination(path);
}

std::string placeLink(const std::string& outputFolder, const std::string& documentFolder,
                      const MarkerPlace& place) {
    return relativeLink(pathFrom(outputFolder, documentFolder, place.path)) + "#L" +
           std::to_string(place.line);
}

std::vector<std::string> stopLinks(const std::vector<TourStop>& stops,
                                   const std::string& documentFolder,
                                   const std::string& outputFolder, bool permanent,
                                   std::ostream& err) {
    std::vector<std::string> links(stops.size());
    std::optional<Permalinks> permalinks;
    if (permanent) {
        const auto environment = EditorEnvironment::ofThisProcess();
        auto hosts = readHostTemplates(environment);
        if (auto* why = std::get_if<std::string>(&hosts)) {
            err << "pathwicks export: " << printableText(*why) << "; its hosts are not used\n";
            hosts = std::vector<HostTemplate>{};
        }
        permalinks.emplace(readGitFolder(documentFolder, environment),
                           std::get<std::vector<HostTemplate>>(std::move(hosts)));
        if (permalinks->unavailable())
            err << "pathwicks export: relative links for every stop: "
                << printableText(*permalinks->unavailable()) << "\n";
    }
    for (size_t i = 0; i < stops.size(); ++i) {
        if (!stops[i].place)
            continue;
        links[i] = placeLink(outputFolder, documentFolder, *stops[i].place);
        if (!permalinks || permalinks->unavailable())
            continue;
        const auto link = permalinks->of(*stops[i].place);
        if (link.address)
            links[i] = *link.address;
        else
            err << "pathwicks export: stop " << i + 1 << " ("
                << printableText(stops[i].box->displayTitle())
                << "): a relative link: " << printableText(link.why) << "\n";
    }
    return links;
}

} // namespace pathwicks
