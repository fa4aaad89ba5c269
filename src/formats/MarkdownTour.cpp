#include "formats/MarkdownTour.h"

namespace pathwicks {

std::string markdownText(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
        if (std::string_view("\\`*_[]<>&!|~$#").find(c) != std::string_view::npos)
            escaped += '\\';
        escaped += c;
    }
    // Emphasis cannot open or close next to spaces: the text is trimmed.
    return std::string(trimmedTitle(escaped));
}

namespace {

std::string bold(std::string_view title) {
    const std::string text = markdownText(title);
    return text.empty() ? "*(untitled)*" : "**" + text + "**";
}

} // namespace

std::string markdownTour(const std::string& name, const std::vector<TourStop>& stops,
                         const MarkdownPlaces& places) {
    const std::string heading = markdownText(name);
    std::string markdown = "# " + (heading.empty() ? std::string("Walkthrough") : heading) + "\n\n";
    if (!places.picture.empty())
        markdown += "![" + markdownText(name) + "](" + linkDestination(places.picture) + ")\n\n";
    size_t number = 0;
    for (const auto& stop : stops) {
        const Reference& box = *stop.box;
        markdown += std::to_string(++number) + ". " + bold(box.displayTitle());
        if (box.isWebAddress()) {
            if (const auto address = webLinkAddress(box))
                markdown += " — [" + markdownText(*address) + "](" + addressDestination(*address) +
                            ")";
        } else if (stop.place) {
            const std::string line = std::to_string(stop.place->line);
            const std::string path =
                pathFrom(places.outputFolder, places.documentFolder, stop.place->path);
            markdown += " — [" + markdownText(path + ":" + line) + "](" +
                        linkDestination(path) + "#L" + line + ")";
        } else {
            markdown += " (marker not found)";
        }
        markdown += "\n";
    }
    return markdown;
}

} // namespace pathwicks
