#include "formats/CodeTour.h"

#include "formats/MarkdownTour.h"
#include "formats/MarkerSafety.h"
#include "model/MarkerRule.h"

#include <nlohmann/json.hpp>

namespace pathwicks {

namespace {

// Where in the line the id stands as a marker: the byte of it a pattern writes as a class.
size_t markerCharacterAt(std::string_view line, std::string_view id) {
    if (!isSearchableId(id))
        return std::string_view::npos;
    for (size_t at = line.find(id); at != std::string_view::npos; at = line.find(id, at + 1))
        if (isMarkerAt(line, at, id.size()))
            return at + escapedCharacterOf(id).first;
    return std::string_view::npos;
}

} // namespace

std::string linePattern(std::string_view line, std::string_view id) {
    const auto first = line.find_first_not_of(" \t");
    const auto last = line.find_last_not_of(" \t");
    const std::string_view core =
        first == std::string_view::npos ? std::string_view() : line.substr(first, last - first + 1);
    // One character of the marker's id as a class of its own ("[p]athwick-…") matches the
    // same line, and the tour file holds no marker of it.
    const size_t classAt = markerCharacterAt(core, id);
    std::string pattern = "^[ \\t]*";
    for (size_t i = 0; i < core.size(); ++i) {
        const char c = core[i];
        const size_t length = i == classAt ? escapedCharacterOf(id).second : 1;
        if (length > 1) { // a character of several bytes: a group of its own
            pattern += "(?:" + std::string(core.substr(i, length)) + ")";
            i += length - 1;
            continue;
        }
        const bool special = std::string_view("\\^$.*+?()[]{}|").find(c) != std::string_view::npos;
        if (i == classAt && !special)
            pattern += std::string("[") + c + "]";
        else if (i == classAt)
            pattern += std::string("[\\") + c + "]";
        else
            pattern += special ? std::string("\\") + c : std::string(1, c);
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
                step["pattern"] = linePattern(stop.markerLine, box.id);
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
