#pragma once

#include <QString>

#include <string>
#include <vector>

namespace pathwicks {

class EditorAvailability;

// How the editor pop-up and the Editor menu show an editor: its name, and whether it is not
// installed. The entry stays choosable either way. The web-link kind shows as "Web Link",
// whatever name documents store for it.
QString editorEntryText(const std::string& name, bool installed);
QString editorDisplayName(const std::string& name);

// The editors a menu lists: those installed (the user's own last), then the others, which go in
// a "More Editors" submenu. Editors made for macOS alone are listed only when installed.
struct EditorListing {
    std::vector<std::string> installed;
    std::vector<std::string> more;
};
EditorListing editorListing(const EditorAvailability& editors);

} // namespace pathwicks
