#include "formats/MarkdownTour.h"

#include "formats/HtmlTour.h"
#include "formats/StopLinks.h"
#include "model/ReadingOrder.h"

#include <algorithm>
#include <cctype>
#include <cmath>

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

std::string markdownParagraph(std::string_view text) {
    std::string paragraph;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line = markdownText(text.substr(start, end - start));
        // A line that would start a list, a thematic break or a heading's underline.
        size_t digits = 0;
        while (digits < line.size() && std::isdigit((unsigned char)line[digits]))
            ++digits;
        if (digits > 0 && digits < line.size() && (line[digits] == '.' || line[digits] == ')'))
            line.insert(digits, "\\");
        else if (!line.empty() && std::string_view("-+=").find(line[0]) != std::string_view::npos)
            line.insert(0, "\\");
        if (!line.empty())
            paragraph += (paragraph.empty() ? "" : "\\\n") + line;
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return paragraph;
}

namespace {

// The stop's code as a fenced block inside its list item, indented as the item's text.
std::string excerptBlock(const TourStop& stop, const std::string& documentFolder, size_t indent) {
    const auto excerpt = stopExcerpt(stop, documentFolder);
    if (!excerpt)
        return {};
    std::string block;
    // Entities mean nothing inside a fence, so the ids there are kept from being markers as
    // they are shown: with a non-breaking hyphen, which no search for an id matches.
    std::string text = excerptMarkdown(*excerpt);
    constexpr std::string_view idPrefix = "pathwick-";
    for (size_t at = text.find(idPrefix); at != std::string::npos; at = text.find(idPrefix, at)) {
        text.replace(at + idPrefix.size() - 1, 1, "\xE2\x80\x91");
        at += idPrefix.size();
    }
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

namespace {

bool blank(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); });
}

// The label that titles the walkthrough: the topmost of those above every box, if any.
LabelPtr titleLabel(const std::vector<TourStop>& stops, const std::vector<LabelPtr>& labels) {
    double top = INFINITY;
    for (const auto& stop : stops)
        top = std::min(top, stop.box->rect.minY());
    LabelPtr title;
    for (const auto& label : labels) {
        if (label && !blank(label->title()) && label->rect.maxY() <= top &&
            (!title || readsBefore(label->rect, title->rect)))
            title = label;
    }
    return title;
}

// The note under its list item, indented to the item's text so that it stays inside it.
std::string indentedNote(const std::string& note, size_t indent) {
    std::string text = "\n";
    size_t start = 0;
    while (start <= note.size()) {
        size_t end = note.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = note.size();
        const std::string_view line(note.data() + start, end - start);
        text += (blank(std::string(line)) ? std::string() : std::string(indent, ' ') + std::string(line)) + "\n";
        start = end + (note.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return text;
}

// A stop's list item: its title, where it leads, and its note.
std::string stopItem(size_t number, const TourStop& stop, const MarkdownPlaces& places) {
    const Reference& box = *stop.box;
    const std::string marker = std::to_string(number) + ". ";
    std::string item = marker + bold(box.displayTitle());
    if (box.isWebAddress()) {
        if (const auto address = webLinkAddress(box))
            item += " — [" + markdownText(*address) + "](" + addressDestination(*address) + ")";
    } else if (stop.place) {
        const std::string line = std::to_string(stop.place->line);
        const std::string path =
            pathFrom(places.outputFolder, places.documentFolder, stop.place->path);
        const std::string link =
            number <= places.links.size() && !places.links[number - 1].empty()
                ? places.links[number - 1]
                : placeLink(places.outputFolder, places.documentFolder, *stop.place);
        item += " — [" + markdownText(path + ":" + line) + "](" + link + ")";
    } else {
        item += " (marker not found)";
    }
    item += "\n";
    if (!blank(box.note))
        item += indentedNote(box.note, marker.size());
    if (places.excerpts)
        item += excerptBlock(stop, places.documentFolder, marker.size());
    return item;
}

} // namespace

std::string markdownTour(const std::string& name, const std::vector<TourStop>& stops,
                         const std::vector<LabelPtr>& labels, const MarkdownPlaces& places) {
    const LabelPtr title = titleLabel(stops, labels);
    const std::string heading = markdownText(title ? title->title() : name);
    std::string markdown = "# " + (heading.empty() ? std::string("Walkthrough") : heading) + "\n\n";
    if (!places.picture.empty())
        markdown += "![" + markdownText(name) + "](" + relativeLink(places.picture) + ")\n\n";
    std::vector<LabelPtr> told;
    for (const auto& label : labels)
        if (label && label != title && !blank(label->title()))
            told.push_back(label);
    sortInReadingOrder(told, [](const LabelPtr& label) { return label->rect; });
    auto nextLabel = told.begin();
    // Labels that read before a stop come first; a list broken by one goes on with its numbers.
    const auto labelsBefore = [&](const Rect* box) {
        std::string text;
        for (; nextLabel != told.end() && (!box || readsBefore((*nextLabel)->rect, *box)); ++nextLabel)
            text += markdownParagraph((*nextLabel)->title()) + "\n\n";
        return text;
    };
    size_t number = 0;
    for (const auto& stop : stops) {
        if (std::string paragraphs = labelsBefore(&stop.box->rect); !paragraphs.empty())
            markdown += (number > 0 ? "\n" : "") + paragraphs;
        markdown += stopItem(++number, stop, places);
    }
    if (std::string paragraphs = labelsBefore(nullptr); !paragraphs.empty())
        markdown += (number > 0 ? "\n" : "") + paragraphs.substr(0, paragraphs.size() - 1);
    return markdown;
}

} // namespace pathwicks
