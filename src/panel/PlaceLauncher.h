#pragma once

#include "editors/EditorEnvironment.h"
#include "editors/UserEditors.h"
#include "model/Reference.h"
#include "panel/ReferenceLauncher.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pathwicks {

// The box's editor opened at one place of its marker (file, line, in the searched folder), as
// its goto tool would open it (resolveEditor): the user's own command for that name, a
// terminal for terminal editors. Nothing when the editor cannot be started here at once (not
// installed, no terminal, or an Emacs server to ask first); the box then opens as a
// double-click would, and the goto tool says what went wrong.
std::optional<ProgramLaunch> placeLaunch(const Reference& reference, const std::string& file,
                                         uint64_t line, const std::string& folder,
                                         const EditorEnvironment& environment,
                                         const UserEditors& userEditors);

} // namespace pathwicks
