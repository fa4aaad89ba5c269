#pragma once

#include <map>
#include <string>
#include <string_view>

namespace pathwicks {

// Which editors of the catalogue are installed, found once when a window opens.
class EditorAvailability {
public:
    // Looks for each editor's launcher as its goto tool would: on pathList (as in PATH), then
    // in its usual install locations.
    void detectEditors(std::string_view pathList, std::string_view homeFolder);

    // The default and the web-link editor always; the other catalogue editors when detected; no other name.
    bool isEditorAvailable(std::string_view name) const;

    void setInstalled(const std::string& name, bool installed) { installed_[name] = installed; }

private:
    std::map<std::string, bool, std::less<>> installed_;
};

} // namespace pathwicks
