#pragma once

#include "model/MarkerStates.h"
#include "model/StepsModel.h"

#include <atomic>
#include <string>
#include <variant>
#include <vector>

namespace pathwicks {

// The ids a check looks for, as `pathwicks check` does: every box but the web links.
std::vector<std::string> checkedIds(const StepsModel& model);

struct MarkerCheckCancelled {};

// One search of folder for the markers of all the ids, the same search `pathwicks check` runs;
// safe to call on any thread. A message when the folder cannot be searched.
std::variant<MarkerStates, std::string, MarkerCheckCancelled>
checkMarkers(const std::string& folder, const std::vector<std::string>& ids,
             const std::atomic<bool>* cancelled = nullptr);

} // namespace pathwicks
