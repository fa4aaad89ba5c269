#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace pathwicks::cli {

// pathwicks mark [--title TEXT] [--editor NAME] [--style LEADER] [--to DOC] [--after ID]
// FILE:LINE: writes the marker line of a new id above line LINE of FILE and prints the id; with
// --to, also adds a box for it to DOC, in the running window that has DOC open, else in the file.
// 0 on success, 1 when a file is refused or cannot be written, 2 for bad usage.
int runMark(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The editor the user last chose in the window, as the window keeps it in its settings file
// (under $XDG_CONFIG_HOME, else ~/.config); nothing when it names none.
std::optional<std::string> lastChosenEditor();

} // namespace pathwicks::cli
