#pragma once

#include "editors/EditorLaunch.h"

#include <optional>
#include <string>
#include <string_view>

namespace pathwicks {

// The goto tool that opens references of the chosen editor: the bundle's
// Contents/Resources/<key>-goto, or its custom-goto for the user's own editors outside the
// catalogue. The name comes from a document, so nothing is answered unless that program lies
// directly inside the Resources folder: a key holding "/", a NUL or ".." is refused, and so is
// an empty key.
std::optional<std::string> gotoToolPath(const EditorChoice& editor, const std::string& bundle);

// The same for a catalogue editor's name, or a name in no list.
std::optional<std::string> gotoToolPath(std::string_view editorName, const std::string& bundle);

// The same, in the bundle of the running program.
std::optional<std::string> gotoToolPath(std::string_view editorName);

} // namespace pathwicks
