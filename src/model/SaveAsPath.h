#pragma once

#include <string>

namespace pathwicks {

// The file a Save As writes, from the name chosen in the dialog. A name without an extension
// gets ".pathwicks"; since the dialog asked about the name as typed, a file that already has
// the name written must then be asked about before it is replaced.
struct SaveAsPath {
    std::string path;
    bool askToReplace = false;
};

SaveAsPath saveAsPath(const std::string& chosen);

} // namespace pathwicks
