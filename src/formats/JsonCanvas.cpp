#include "formats/JsonCanvas.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

namespace pathwicks {

namespace {

// Canvas coordinates are whole numbers; a coordinate that is not a number becomes 0.
int64_t whole(double value) {
    constexpr double limit = 1e15;
    if (std::isnan(value))
        return 0;
    return int64_t(std::llround(std::clamp(value, -limit, limit)));
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

// The id as the file will hold it: bytes that are not UTF-8 replaced, so that two ids that
// differ only there are told apart before they are written, not after.
std::string asWritten(const std::string& id) {
    const auto text =
        nlohmann::json(id).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return nlohmann::json::parse(text).get<std::string>();
}

class UniqueIds {
public:
    void reserve(const std::string& id) { used_.insert(id); }
    bool isUsed(const std::string& id) const { return used_.count(id) > 0; }
    // The base itself when free, else the base followed by "-2", "-3" … whichever is free.
    std::string take(const std::string& base) {
        std::string id = base;
        for (int suffix = 2; used_.count(id); ++suffix)
            id = base + "-" + std::to_string(suffix);
        used_.insert(id);
        return id;
    }

private:
    std::unordered_set<std::string> used_;
};

nlohmann::ordered_json textNode(const std::string& id, const Rect& rect, std::string text) {
    return {{"id", id},
            {"type", "text"},
            {"text", std::move(text)},
            {"x", whole(rect.minX())},
            {"y", whole(rect.minY())},
            {"width", std::max<int64_t>(1, whole(std::abs(rect.width)))},
            {"height", std::max<int64_t>(1, whole(std::abs(rect.height)))}};
}

} // namespace

std::string jsonCanvas(const StepsModel& model, const TourStops& stops) {
    const auto& boxes = model.content();
    // A box keeps its own id whenever no box before it has it; the repeats are named after.
    UniqueIds ids;
    std::vector<std::string> wanted, boxIds(boxes.size());
    for (const auto& box : boxes)
        wanted.push_back(asWritten(box->id.empty() ? std::string("box") : box->id));
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (!ids.isUsed(wanted[i])) {
            ids.reserve(wanted[i]);
            boxIds[i] = wanted[i];
        }
    }
    std::unordered_map<const Reference*, std::string> nodeOf;
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (boxIds[i].empty())
            boxIds[i] = ids.take(wanted[i]);
        nodeOf.emplace(boxes[i].get(), boxIds[i]);
    }

    nlohmann::ordered_json nodes = nlohmann::ordered_json::array();
    for (size_t i = 0; i < model.labels.size(); ++i)
        nodes.push_back(textNode(ids.take("label-" + std::to_string(i + 1)),
                                 model.labels[i]->rect, "# " + oneLine(model.labels[i]->title())));
    for (size_t i = 0; i < boxes.size(); ++i) {
        const Reference& box = *boxes[i];
        std::string text = oneLine(box.displayTitle());
        const TourStop& stop = stops.of(box);
        if (stop.place)
            text += "\n" + stop.place->path + ":" + std::to_string(stop.place->line);
        else if (const auto address = webLinkAddress(box))
            text += "\n" + *address;
        nodes.push_back(textNode(boxIds[i], box.rect, std::move(text)));
    }

    nlohmann::ordered_json edges = nlohmann::ordered_json::array();
    for (const auto& [from, to] : model.arrows) {
        const auto source = nodeOf.find(from.get());
        const auto target = nodeOf.find(to.get());
        if (source == nodeOf.end() || target == nodeOf.end())
            continue;
        edges.push_back({{"id", ids.take("edge-" + std::to_string(edges.size() + 1))},
                         {"fromNode", source->second},
                         {"toNode", target->second},
                         {"toEnd", "arrow"}});
    }
    const nlohmann::ordered_json canvas = {{"nodes", nodes}, {"edges", edges}};
    return canvas.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

} // namespace pathwicks
