#include "model/MarkedBox.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>

namespace pathwicks {

namespace {

constexpr double gap = 30;
constexpr double firstPlace = 40;
constexpr double boxHeight = 50;

double onGrid(double c) {
    return std::ceil(c / 10) * 10;
}

} // namespace

nlohmann::json toJson(const MarkedBoxRequest& request) {
    nlohmann::json json = {{"document", request.document},
                           {"id", request.id},
                           {"title", request.title},
                           {"editor", request.editor}};
    if (request.after)
        json["after"] = *request.after;
    return json;
}

std::optional<MarkedBoxRequest> markedBoxRequest(const nlohmann::json& json) {
    auto text = [&](const char* key) -> std::optional<std::string> {
        const auto it = json.find(key);
        if (it == json.end() || !it->is_string())
            return std::nullopt;
        return it->get<std::string>();
    };
    if (!json.is_object() || !text("document") || !text("id") || !text("title") || !text("editor"))
        return std::nullopt;
    return MarkedBoxRequest{*text("document"), *text("id"), *text("title"), *text("editor"),
                            text("after")};
}

std::variant<MarkedBox, std::string> makeMarkedBox(const StepsModel& model,
                                                   const MarkedBoxRequest& request,
                                                   const TextMeasurer& measurer) {
    MarkedBox made;
    if (request.after) {
        const auto& content = model.content();
        const auto it = std::find_if(content.begin(), content.end(),
                                     [&](const ReferencePtr& r) { return r->id == *request.after; });
        if (it == content.end())
            return "no box has the id " + *request.after;
        made.from = *it;
    }
    // Below everything, under the lowest box.
    const Reference* lowest = nullptr;
    double bottom = -1;
    for (const auto& reference : model.content()) {
        if (!lowest || reference->rect.maxY() > lowest->rect.maxY())
            lowest = reference.get();
        bottom = std::max(bottom, reference->rect.maxY());
    }
    for (const auto& label : model.labels)
        bottom = std::max(bottom, label->rect.maxY());
    made.box = Reference::fromDictionary(nlohmann::json::object());
    made.box->id = request.id;
    made.box->title = request.title;
    made.box->editor = request.editor;
    made.box->rect = {0, bottom < 0 ? firstPlace : onGrid(bottom + gap), 100, boxHeight};
    made.box->fitToTitle(measurer);
    made.box->rect.x = lowest ? std::max(0.0, onGrid(lowest->rect.minX())) : firstPlace;
    return made;
}

Size EstimatingMeasurer::measureText(std::string_view text,
                                     const TextAttributes& attributes) const {
    const double characters = double(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xc0) != 0x80;
    }));
    return {characters * 0.6 * attributes.fontSize, attributes.fontSize * 1.25};
}

} // namespace pathwicks
