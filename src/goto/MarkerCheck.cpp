#include "goto/MarkerCheck.h"

#include "goto/MarkerSearch.h"

namespace pathwicks {

std::vector<std::string> checkedIds(const StepsModel& model) {
    std::vector<std::string> ids;
    for (const ReferencePtr& reference : model.content()) {
        if (reference && !reference->isWebAddress())
            ids.push_back(reference->id);
    }
    return ids;
}

std::variant<MarkerStates, std::string, MarkerCheckCancelled>
checkMarkers(const std::string& folder, const std::vector<std::string>& ids,
             const std::atomic<bool>* cancelled) {
    MarkerSearchOptions options;
    options.cancelled = cancelled;
    auto searched = searchMarkers(folder, ids, options);
    if (cancelled && cancelled->load())
        return MarkerCheckCancelled{};
    if (auto* error = std::get_if<std::string>(&searched))
        return std::move(*error);
    auto& result = std::get<MarkerSearchResult>(searched);
    MarkerStates states;
    states.folder = folder;
    states.unreadable = result.unreadable;
    for (size_t i = 0; i < ids.size() && i < result.places.size(); ++i) {
        std::vector<MarkerLocation> locations;
        locations.reserve(result.places[i].size());
        for (auto& place : result.places[i])
            locations.push_back({std::move(place.path), place.line});
        states.places.try_emplace(ids[i], std::move(locations));
    }
    return states;
}

} // namespace pathwicks
