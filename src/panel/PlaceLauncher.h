#pragma once

#include "model/Reference.h"
#include "panel/ReferenceLauncher.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pathwicks {

// The box's editor opened at one place of its marker (file, line): its launcher on pathList or
// in its install locations. Nothing when the editor has no launcher here; the box then opens
// as a double-click would.
std::optional<ProgramLaunch> placeLaunch(const Reference& reference, const std::string& file,
                                         uint64_t line, std::string_view pathList,
                                         std::string_view home);

} // namespace pathwicks
