#pragma once

#include "model/StepsModel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace pathwicks {

// Whether a box's marker was found by the last check: once, nowhere, or more than once.
enum class MarkerState { found, missing, duplicated };

// A line carrying a box's marker, the path relative to the checked folder.
struct MarkerLocation {
    std::string path;
    uint64_t line = 0;

    friend bool operator==(const MarkerLocation&, const MarkerLocation&) = default;
};

// What the last marker check of a document's folder found, by id. Boxes whose id was not
// checked (added since) and web links have no state.
struct MarkerStates {
    std::string folder; // the searched folder, as a path
    std::unordered_map<std::string, std::vector<MarkerLocation>> places;
    uint64_t unreadable = 0; // files and folders below it that could not be read

    std::optional<MarkerState> stateOf(const Reference& reference) const;
    const std::vector<MarkerLocation>* placesOf(const Reference& reference) const;
};

// The counts for the status bar: "12 boxes: 11 found, 1 missing", and what could not be read.
struct MarkerSummary {
    size_t boxes = 0;
    size_t found = 0;
    size_t missing = 0;
    size_t duplicated = 0;
    uint64_t unreadable = 0;
};
MarkerSummary summarize(const StepsModel& model, const MarkerStates& states);
std::string summaryText(const MarkerSummary& summary);

// The next missing or duplicated box after `after` in reading order (model/ReadingOrder),
// wrapping around; the first one when after is none or has no place in the order.
// Nothing when no box has a problem.
ReferencePtr nextProblem(const StepsModel& model, const MarkerStates& states,
                         const Reference* after);

} // namespace pathwicks
