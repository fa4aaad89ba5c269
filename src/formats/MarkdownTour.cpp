#include "formats/MarkdownTour.h"

#include "formats/HtmlTour.h"
#include "formats/StopLinks.h"

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
    const auto first = escaped.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return escaped.substr(first, escaped.find_last_not_of(' ') - first + 1);
}

namespace {

// The stop's code as a fenced block inside its list item, indented as the item's text.
std::string excerptBlock(const TourStop& stop, const std::string& documentFolder, size_t indent) {
    const auto excerpt = stopExcerpt(stop, documentFolder);
    if (!excerpt)
        return {};
    std::string block;
    const std::string text = excerptMarkdown(*excerpt);
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        block += std::string(indent, ' ') + text.substr(start, end - start + 1);
        start = end + 1;
    }
    return block;
}

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
        markdown += "![" + markdownText(name) + "](" + relativeLink(places.picture) + ")\n\n";
    size_t number = 0;
    for (const auto& stop : stops) {
        const Reference& box = *stop.box;
        const std::string item = std::to_string(++number) + ". ";
        markdown += item + bold(box.displayTitle());
        if (box.isWebAddress()) {
            if (const auto address = webLinkAddress(box))
                markdown += " — [" + markdownText(*address) + "](" + addressDestination(*address) +
                            ")";
        } else if (stop.place) {
            const std::string line = std::to_string(stop.place->line);
            const std::string path =
                pathFrom(places.outputFolder, places.documentFolder, stop.place->path);
            const std::string link =
                number <= places.links.size() && !places.links[number - 1].empty()
                    ? places.links[number - 1]
                    : placeLink(places.outputFolder, places.documentFolder, *stop.place);
            markdown += " — [" + markdownText(path + ":" + line) + "](" + link + ")";
        } else {
            markdown += " (marker not found)";
        }
        markdown += "\n";
        if (places.excerpts)
            markdown += excerptBlock(stop, places.documentFolder, item.size());
    }
    return markdown;
}

} // namespace pathwicks
