#include "model/MarkerStates.h"

#include "model/ReadingOrder.h"

#include <algorithm>

namespace pathwicks {

const std::vector<MarkerLocation>* MarkerStates::placesOf(const Reference& reference) const {
    if (reference.isWebAddress())
        return nullptr;
    const auto it = places.find(reference.id);
    return it == places.end() ? nullptr : &it->second;
}

std::optional<MarkerState> MarkerStates::stateOf(const Reference& reference) const {
    const auto* found = placesOf(reference);
    if (!found)
        return std::nullopt;
    if (found->empty())
        return MarkerState::missing;
    return found->size() == 1 ? MarkerState::found : MarkerState::duplicated;
}

MarkerSummary summarize(const StepsModel& model, const MarkerStates& states) {
    MarkerSummary summary;
    summary.unreadable = states.unreadable;
    for (const ReferencePtr& reference : model.content()) {
        if (!reference)
            continue;
        const auto state = states.stateOf(*reference);
        if (!state)
            continue;
        ++summary.boxes;
        switch (*state) {
        case MarkerState::found:
            ++summary.found;
            break;
        case MarkerState::missing:
            ++summary.missing;
            break;
        case MarkerState::duplicated:
            ++summary.duplicated;
            break;
        }
    }
    return summary;
}

std::string summaryText(const MarkerSummary& summary) {
    std::string text = std::to_string(summary.boxes) + (summary.boxes == 1 ? " box: " : " boxes: ") +
                       std::to_string(summary.found) + " found";
    if (summary.missing > 0)
        text += ", " + std::to_string(summary.missing) + " missing";
    if (summary.duplicated > 0)
        text += ", " + std::to_string(summary.duplicated) + " duplicated";
    if (summary.unreadable > 0)
        text += " (" + std::to_string(summary.unreadable) +
                (summary.unreadable == 1 ? " file or folder" : " files or folders") +
                " could not be read)";
    return text;
}

ReferencePtr nextProblem(const StepsModel& model, const MarkerStates& states,
                         const Reference* after) {
    std::vector<ReferencePtr> order;
    for (const ReferencePtr& reference : model.content()) {
        if (!reference)
            continue;
        const auto state = states.stateOf(*reference);
        if ((state && *state != MarkerState::found) || reference.get() == after)
            order.push_back(reference);
    }
    // Boxes at the same spot stay in the order of the document.
    sortInReadingOrder(order, [](const ReferencePtr& box) -> const Rect& { return box->rect; });
    const auto isProblem = [&](const ReferencePtr& reference) {
        const auto state = states.stateOf(*reference);
        return state && *state != MarkerState::found;
    };
    const auto current = std::find_if(order.begin(), order.end(),
                                      [&](const auto& entry) { return entry.get() == after; });
    const size_t start = current == order.end() ? 0 : size_t(current - order.begin()) + 1;
    // The current box comes last: when it is the only problem, it is the next one too.
    for (size_t step = 0; step < order.size(); ++step) {
        const ReferencePtr& candidate = order[(start + step) % order.size()];
        if (isProblem(candidate))
            return candidate;
    }
    return nullptr;
}

} // namespace pathwicks
