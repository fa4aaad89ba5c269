#pragma once

#include <atomic>
#include <cstdint>
#include <string>
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
    // Folders and files below the searched folder that could not be opened.
    uint64_t unreadable = 0;
};

struct MarkerSearchOptions {
    bool firstLinePerFile = false;
    unsigned threads = 0; // 0: as many as suit the machine
    // Set from another thread to stop the search early; what it returns then is incomplete.
    const std::atomic<bool>* cancelled = nullptr;
};

// Searches the text files under folder once for the markers of all the ids. A message when
// the folder cannot be read.
std::variant<MarkerSearchResult, std::string>
searchMarkers(const std::string& folder, const std::vector<std::string>& ids,
              const MarkerSearchOptions& options = {});

} // namespace pathwicks
