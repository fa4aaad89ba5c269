#include "formats/CodeTour.h"

#include "formats/MarkdownTour.h"

#include <nlohmann/json.hpp>

namespace pathwicks {

std::string linePattern(std::string_view line) {
    const auto first = line.find_first_not_of(" \t");
    const auto last = line.find_last_not_of(" \t");
    const std::string_view core =
        first == std::string_view::npos ? std::string_view() : line.substr(first, last - first + 1);
    std::string pattern = "^[ \\t]*";
    for (char c : core) {
        if (std::string_view("\\^$.*+?()[]{}|").find(c) != std::string_view::npos)
            pattern += '\\';
        pattern += c;
    }
    return pattern + "[ \\t]*$";
}

std::string codeTour(const std::string& title, const std::vector<TourStop>& stops) {
    nlohmann::ordered_json steps = nlohmann::ordered_json::array();
    for (const auto& stop : stops) {
        const Reference& box = *stop.box;
        nlohmann::ordered_json step = nlohmann::ordered_json::object();
        if (box.isWebAddress()) {
            const auto address = webLinkAddress(box);
            step["description"] = address ? "[" + markdownText(box.displayTitle()) + "](" +
                                                addressDestination(*address) + ")"
                                          : markdownText(box.title);
        } else if (stop.place) {
            step["file"] = stop.place->path;
            // A file that changed between the search and the reading of its line: the line
            // number as found, rather than a pattern that would match any blank line.
            if (stop.markerLine.empty())
                step["line"] = stop.place->line;
            else
                step["pattern"] = linePattern(stop.markerLine);
            step["title"] = box.displayTitle();
            // The editor shows the description as Markdown, with command links.
            step["description"] = markdownText(box.title);
        } else {
            step["description"] = markdownText(box.title);
        }
        steps.push_back(std::move(step));
    }
    const nlohmann::ordered_json tour = {
        {"$schema", "https://aka.ms/codetour-schema"}, {"title", title}, {"steps", steps}};
    return tour.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

} // namespace pathwicks
