#pragma once

#include "goto/GotoCache.h"
#include "model/MarkerStates.h"

#include <string>
#include <vector>

namespace pathwicks {

// A first answer for ids the last check did not look for (boxes just added, pasted, duplicated
// or attached), before the full check: each is looked for in the files it may be in, the one
// the goto tools and `check` last found it in and the files that hold other markers, at most
// `mostFiles` of them. An id found there is found at that place; one found nowhere there is
// missing until the full check says otherwise. The ids the states hold already are left alone.
void lookUpNewIds(MarkerStates& states, const std::vector<std::string>& ids, const GotoCache& cache,
                  size_t mostFiles = 64);

} // namespace pathwicks
