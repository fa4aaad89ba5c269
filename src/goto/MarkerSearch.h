#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace pathwicks {

// A line carrying a marker: the file's path relative to the searched folder, and the line
// counted from 1.
struct MarkerPlace {
    std::string path;
    uint64_t line = 0;

    friend bool operator==(const MarkerPlace&, const MarkerPlace&) = default;
};

struct MarkerSearchResult {
    // For each id, in the order given: its places, sorted by path (byte order), then line.
    std::vector<std::vector<MarkerPlace>> places;
    // For each id: how many places were found, kept or not.
    std::vector<uint64_t> found;
    // Folders and files below the searched folder that could not be read: how many, and the
    // first few of them by path (relative to the folder) and reason.
    uint64_t unreadable = 0;
    std::vector<std::pair<std::string, std::string>> unreadableExamples;
};

struct MarkerSearchOptions {
    bool firstLinePerFile = false;
    // At most this many places are kept per id, the first in path and line order; 0 keeps all.
    size_t placesPerId = 0;
    unsigned threads = 0; // 0: as many as suit the machine
    // Skip what git would ignore (.gitignore, .ignore, .git/info/exclude); false searches
    // everything.
    bool honourIgnoreFiles = true;
    // Set from another thread to stop the search early; what it returns then is incomplete.
    const std::atomic<bool>* cancelled = nullptr;
};

// Searches the text files under folder once for the markers of all the ids. A message when
// the folder cannot be read. Safe to run on several threads at once: it keeps no state.
std::variant<MarkerSearchResult, std::string>
searchMarkers(const std::string& folder, const std::vector<std::string>& ids,
              const MarkerSearchOptions& options = {});

} // namespace pathwicks
