#include "formats/MermaidChart.h"

#include "model/ContentSize.h"

#include <unordered_map>

namespace pathwicks {

std::string mermaidLabel(std::string_view title) {
    std::string label = "\"";
    for (size_t i = 0; i < title.size(); ++i) {
        const char c = title[i];
        switch (c) {
        case '"': label += "#quot;"; break;
        case '#': label += "#35;"; break;
        case '%': label += "#37;"; break;
        case '&': label += "#amp;"; break;
        case '<': label += "#lt;"; break;
        case '>': label += "#gt;"; break;
        case '`': label += "#96;"; break;
        case '\r':
            if (i + 1 < title.size() && title[i + 1] == '\n')
                ++i;
            label += "<br>";
            break;
        case '\n': label += "<br>"; break;
        default: label += (unsigned char)c < ' ' || c == 0x7f ? ' ' : c;
        }
    }
    // A label holds at least one character.
    return label + (label.size() == 1 ? " \"" : "\"");
}

std::string mermaidChart(const StepsModel& model, const TourStops& stops,
                         const std::string& documentFolder, const std::string& linkFolder) {
    const auto bounds = itemBounds(model);
    std::string chart = bounds && bounds->height > bounds->width ? "flowchart TB\n"
                                                                 : "flowchart LR\n";
    std::unordered_map<const Reference*, std::string> nodeOf;
    const auto& boxes = model.content();
    for (size_t i = 0; i < boxes.size(); ++i) {
        const std::string node = "n" + std::to_string(i + 1);
        nodeOf.emplace(boxes[i].get(), node);
        chart += "    " + node + "[" + mermaidLabel(boxes[i]->displayTitle()) + "]\n";
    }
    for (const auto& [from, to] : model.arrows) {
        const auto source = nodeOf.find(from.get());
        const auto target = nodeOf.find(to.get());
        if (source != nodeOf.end() && target != nodeOf.end())
            chart += "    " + source->second + " --> " + target->second + "\n";
    }
    for (size_t i = 0; i < boxes.size(); ++i) {
        const TourStop& stop = stops.of(*boxes[i]);
        std::string destination;
        if (stop.place)
            destination = linkDestination(pathFrom(linkFolder, documentFolder, stop.place->path)) +
                          "#L" + std::to_string(stop.place->line);
        else if (const auto address = webLinkAddress(*boxes[i]))
            destination = addressDestination(*address);
        if (!destination.empty())
            chart += "    click " + nodeOf.at(boxes[i].get()) + " href \"" + destination + "\"\n";
    }
    return chart;
}

} // namespace pathwicks
