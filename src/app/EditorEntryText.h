#pragma once

#include <QString>

#include <string>

namespace pathwicks {

// How the editor pop-up and the Editor menu show an editor: its name, and whether it is not
// installed. The entry stays choosable either way.
QString editorEntryText(const std::string& name, bool installed);

} // namespace pathwicks
