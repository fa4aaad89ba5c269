#include "goto/MarkerLookup.h"

#include "goto/MarkerInFile.h"

#include <set>

namespace pathwicks {

namespace {

// The files already known to hold markers, in path order.
std::vector<std::string> markedFiles(const MarkerStates& states, size_t most) {
    std::set<std::string> files;
    for (const auto& [id, places] : states.places)
        for (const auto& place : places)
            files.insert(place.path);
    std::vector<std::string> list(files.begin(), files.end());
    if (list.size() > most)
        list.resize(most);
    return list;
}

} // namespace

void lookUpNewIds(MarkerStates& states, const std::vector<std::string>& ids, const GotoCache& cache,
                  size_t mostFiles) {
    std::vector<std::string> files;
    bool listed = false;
    for (const std::string& id : ids) {
        if (states.places.count(id))
            continue;
        if (!listed) {
            files = markedFiles(states, mostFiles);
            listed = true;
        }
        std::vector<std::string> candidates;
        if (auto remembered = cache.recall(states.folder, id))
            candidates.push_back(*remembered);
        candidates.insert(candidates.end(), files.begin(), files.end());
        auto& places = states.places[id];
        for (const std::string& path : candidates) {
            if (!isPlainRelativePath(path))
                continue;
            if (auto line = findMarkerInFile(states.folder, path, id, true)) {
                places.push_back({path, *line});
                break;
            }
        }
    }
}

} // namespace pathwicks
