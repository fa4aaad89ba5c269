#pragma once

#include <thread>

namespace pathwicks {

// The system's font configuration (some thirty XML files, and the caches of the fonts) is read
// the first time any text is measured, on the thread that measures it. Started before the
// toolkit, this reads it on a thread of its own while the toolkit connects to the display, so
// the first window finds it read. Nothing is done where the toolkit has no fontconfig loaded.
std::jthread readFontConfigurationMeanwhile();

} // namespace pathwicks
