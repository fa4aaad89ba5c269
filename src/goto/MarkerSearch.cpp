#include "goto/MarkerSearch.h"

#include "goto/MarkerMatcher.h"
#include "goto/SourceTreeWalker.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <tuple>

namespace pathwicks {

namespace {

bool before(const MarkerPlace& a, const MarkerPlace& b) {
    return std::tie(a.path, a.line) < std::tie(b.path, b.line);
}

// The places of one id found by one worker, kept to the first `limit` once they grow past
// twice that, so that a tree full of one marker costs no more memory than a few.
struct Places {
    std::vector<MarkerPlace> kept;
    uint64_t found = 0;

    void add(std::string_view path, uint64_t line, size_t limit) {
        ++found;
        kept.push_back({std::string(path), line});
        if (limit > 0 && kept.size() >= 2 * limit)
            trim(limit);
    }
    void trim(size_t limit) {
        std::sort(kept.begin(), kept.end(), before);
        if (limit > 0 && kept.size() > limit)
            kept.resize(limit);
    }
};

// A file that cannot hold a marker is never read whole.
std::optional<SourceTreeWalker::Sieve> sieveFor(const MarkerMatcher& matcher) {
    if (!matcher.sifts())
        return std::nullopt;
    return SourceTreeWalker::Sieve{
        std::max<size_t>(matcher.longestClue(), 1) - 1,
        [&matcher](std::string_view piece) { return matcher.mayMatch(piece); }};
}

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
    SourceTreeWalker walker(options.threads, options.honourIgnoreFiles, options.cancelled);
    const size_t limit = options.placesPerId;
    std::vector<std::vector<Places>> hits(walker.threadCount(),
                                          std::vector<Places>(unique.size()));
    const auto sieve = sieveFor(matcher);
    auto error = walker.walk(
        folder,
        [&](unsigned worker, std::string_view path, std::string_view bytes) {
            matcher.match(bytes, options.firstLinePerFile, [&](size_t id, uint64_t line) {
                hits[worker][id].add(path, line, limit);
            });
        },
        sieve ? &*sieve : nullptr);
    if (error)
        return *error;

    std::vector<Places> places(unique.size());
    for (auto& workerHits : hits) {
        for (size_t id = 0; id < unique.size(); ++id) {
            auto& from = workerHits[id].kept;
            places[id].kept.insert(places[id].kept.end(), std::make_move_iterator(from.begin()),
                                   std::make_move_iterator(from.end()));
            places[id].found += workerHits[id].found;
        }
    }
    for (auto& list : places)
        list.trim(limit);

    MarkerSearchResult result;
    result.unreadable = walker.unreadableCount();
    for (const auto& entry : walker.unreadableExamples())
        result.unreadableExamples.emplace_back(entry.path, entry.reason);
    std::sort(result.unreadableExamples.begin(), result.unreadableExamples.end());
    result.places.reserve(ids.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        result.places.push_back(places[uniqueOf[i]].kept);
        result.found.push_back(places[uniqueOf[i]].found);
    }
    return result;
}

} // namespace pathwicks
