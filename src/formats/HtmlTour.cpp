#include "formats/HtmlTour.h"

#include "formats/HtmlPage.h"
#include "model/FileIO.h"
#include "model/ReadingOrder.h"

namespace pathwicks {

std::optional<CodeExcerpt> stopExcerpt(const TourStop& stop, const std::string& documentFolder) {
    if (!stop.place)
        return std::nullopt;
    const auto bytes = readFileBytes(documentFolder + "/" + stop.place->path);
    const auto* text = std::get_if<std::string>(&bytes);
    if (!text)
        return std::nullopt;
    auto excerpt = codeExcerpt(*text, stop.place->line);
    if (excerpt.lines.empty())
        return std::nullopt;
    return excerpt;
}

std::string htmlTour(const std::string& name, const StepsModel& model,
                     const std::vector<TourStop>& stops, const std::string& documentFolder,
                     const std::string& diagram, const std::vector<std::string>& links) {
    HtmlPageContent content{.name = name, .diagram = diagram};
    auto labels = model.labels;
    sortInReadingOrder(labels, [](const LabelPtr& label) { return label->rect; });
    for (const auto& label : labels)
        content.labels.push_back(label->title());
    for (size_t i = 0; i < stops.size(); ++i) {
        const TourStop& stop = stops[i];
        const Reference& box = *stop.box;
        HtmlStop page{.title = box.displayTitle(),
                      .note = box.note,
                      .box = {box.rect.minX(), box.rect.minY(), box.rect.maxX() - box.rect.minX(),
                              box.rect.maxY() - box.rect.minY()},
                      .webLink = box.isWebAddress()};
        if (page.webLink) {
            page.link = webLinkAddress(box).value_or("");
        } else if (stop.place) {
            page.place = stop.place->path + ":" + std::to_string(stop.place->line);
            page.link = i < links.size() ? links[i] : "";
            page.excerpt = stopExcerpt(stop, documentFolder);
        }
        content.stops.push_back(std::move(page));
    }
    return htmlPage(content);
}

} // namespace pathwicks
