#include "goto/MarkerSearch.h"

#include "goto/MarkerMatcher.h"
#include "goto/SourceTreeWalker.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace pathwicks {

namespace {

struct Hit {
    size_t id;
    std::string path;
    uint64_t line;
};

} // namespace

std::variant<MarkerSearchResult, std::string> searchMarkers(const std::string& folder,
                                                            const std::vector<std::string>& ids,
                                                            const MarkerSearchOptions& options) {
    // Two boxes may share an id; their marker is looked for once.
    std::vector<std::string> unique;
    std::vector<size_t> uniqueOf(ids.size());
    std::map<std::string, size_t> seen;
    for (size_t i = 0; i < ids.size(); ++i) {
        auto [it, fresh] = seen.try_emplace(ids[i], unique.size());
        if (fresh)
            unique.push_back(ids[i]);
        uniqueOf[i] = it->second;
    }

    const MarkerMatcher matcher(unique);
    SourceTreeWalker walker(options.threads, options.cancelled);
    std::vector<std::vector<Hit>> hits(walker.threadCount());
    auto error =
        walker.walk(folder, [&](unsigned worker, std::string_view path, std::string_view bytes) {
            matcher.match(bytes, options.firstLinePerFile, [&](size_t id, uint64_t line) {
                hits[worker].push_back({id, std::string(path), line});
            });
        });
    if (error)
        return *error;

    std::vector<std::vector<MarkerPlace>> places(unique.size());
    for (auto& workerHits : hits)
        for (auto& hit : workerHits)
            places[hit.id].push_back({std::move(hit.path), hit.line});
    for (auto& list : places)
        std::sort(list.begin(), list.end(), [](const MarkerPlace& a, const MarkerPlace& b) {
            return std::tie(a.path, a.line) < std::tie(b.path, b.line);
        });

    MarkerSearchResult result;
    result.unreadable = walker.unreadableCount();
    result.places.reserve(ids.size());
    for (size_t i = 0; i < ids.size(); ++i)
        result.places.push_back(places[uniqueOf[i]]);
    return result;
}

} // namespace pathwicks
