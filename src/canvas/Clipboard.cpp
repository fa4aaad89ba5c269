#include "canvas/Clipboard.h"

#include "canvas/Canvas.h"
#include "canvas/Grid.h"
#include "model/StepsModel.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <map>
#include <set>

namespace pathwicks {

namespace {

std::optional<Rect> boundsOf(const StepsModel& items) {
    std::optional<Rect> bounds;
    auto take = [&](const Rect& r) {
        if (!std::isfinite(r.minX()) || !std::isfinite(r.minY()) || !std::isfinite(r.maxX()) ||
            !std::isfinite(r.maxY()))
            return;
        if (!bounds) {
            bounds = Rect{r.minX(), r.minY(), r.maxX() - r.minX(), r.maxY() - r.minY()};
            return;
        }
        const double x = std::min(bounds->minX(), r.minX());
        const double y = std::min(bounds->minY(), r.minY());
        bounds = Rect{x, y, std::max(bounds->maxX(), r.maxX()) - x,
                      std::max(bounds->maxY(), r.maxY()) - y};
    };
    for (const auto& reference : items.content())
        take(reference->rect);
    for (const auto& label : items.labels)
        take(label->rect);
    return bounds;
}

} // namespace

std::optional<ClipboardItems> copySelection(const StepsModel& model) {
    // Copies, so that writing them renumbers nothing of the document's own.
    StepsModel copied;
    std::map<const Reference*, ReferencePtr> copies;
    ClipboardItems items;
    for (const auto& reference : model.content()) {
        if (!reference->selected)
            continue;
        auto copy = std::make_shared<Reference>(*reference);
        copies[reference.get()] = copy;
        copied.appendReference(copy);
        items.text += reference->title + "\n";
    }
    for (const auto& [from, to] : model.arrows) {
        auto source = copies.find(from.get());
        auto target = copies.find(to.get());
        if (source != copies.end() && target != copies.end())
            copied.arrows.emplace_back(source->second, target->second);
    }
    for (const auto& label : model.labels) {
        if (!label->selected)
            continue;
        copied.labels.push_back(std::make_shared<Label>(*label));
        items.text += label->title() + "\n";
    }
    if (copied.content().empty() && copied.labels.empty())
        return std::nullopt;
    auto json = copied.encode(nlohmann::ordered_json::object());
    if (!json)
        return std::nullopt;
    items.json = std::move(*json);
    return items;
}

bool pasteItems(Canvas& canvas, const std::string& json, const Rect& visible) {
    const auto parsed = nlohmann::json::parse(json, nullptr, false);
    if (!parsed.is_object())
        return false;
    StepsModel pasted;
    pasted.decode(&parsed);
    const auto bounds = boundsOf(pasted);
    if (!bounds)
        return false;

    Point shift{gridStep, gridStep};
    const Rect landing{bounds->x + shift.x, bounds->y + shift.y, bounds->width, bounds->height};
    if (!landing.intersects(visible)) {
        shift = snapToGrid(Point{visible.midX() - bounds->midX(), visible.midY() - bounds->midY()});
    }
    canvas.finishGesture();
    canvas.deselectAll();
    for (const auto& reference : pasted.content()) {
        reference->rect.x += shift.x;
        reference->rect.y += shift.y;
        reference->selected = true;
    }
    for (const auto& label : pasted.labels) {
        label->rect.x += shift.x;
        label->rect.y += shift.y;
        label->selected = true;
    }

    StepsModel& model = canvas.model();
    // A box whose id the document holds already is a new box: it gets an id of its own, and
    // the arrows among the pasted boxes, which hold the boxes themselves, follow.
    std::set<std::string> held;
    for (const auto& reference : model.content())
        held.insert(reference->id);
    for (const auto& reference : pasted.content())
        if (held.contains(reference->id))
            reference->id = Reference::generateId();
    if (!pasted.content().empty()) {
        auto content = model.content();
        content.insert(content.end(), pasted.content().begin(), pasted.content().end());
        auto arrows = model.arrows;
        arrows.insert(arrows.end(), pasted.arrows.begin(), pasted.arrows.end());
        canvas.setContentAndArrows(std::move(content), std::move(arrows));
    }
    if (!pasted.labels.empty()) {
        auto labels = model.labels;
        labels.insert(labels.end(), pasted.labels.begin(), pasted.labels.end());
        canvas.setLabels(std::move(labels));
    }
    canvas.host().fitCanvasToContent();
    canvas.updateDetailPanel();
    return true;
}

} // namespace pathwicks
