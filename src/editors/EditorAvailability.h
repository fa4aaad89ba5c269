#pragma once

#include "editors/EditorEnvironment.h"
#include "editors/UserEditors.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

// Which editors are installed, found once when a window opens, and the user's own editors.
class EditorAvailability {
public:
    // Reads the user's editors file and resolves each editor (resolveEditor: its launcher and,
    // for the editors that run in a terminal, a terminal) exactly as the goto tools would.
    void detectEditors(const EditorEnvironment& environment);
    // The same with only a PATH list and a home folder.
    void detectEditors(std::string_view pathList, std::string_view homeFolder);

    // The web-link editor always; the other catalogue editors and the user's own when detected
    // (on macOS "Xcode" always); no other name.
    bool isEditorAvailable(std::string_view name) const;

    void setInstalled(const std::string& name, bool installed) { installed_[name] = installed; }

    // The catalogue's names, then those of the user's editors that are not in the catalogue.
    std::vector<std::string> editorNames() const;
    const UserEditors& userEditors() const { return userEditors_; }
    // Whether the name is one of the user's editors that is not in the catalogue.
    bool isUserEditorOnly(std::string_view name) const;

    // The editor a new reference gets: lastChosen when that is installed and not the web-link
    // editor, otherwise the first installed of a list of common editors, otherwise
    // "System Default".
    std::string newReferenceEditor(const std::optional<std::string>& lastChosen) const;

private:
    std::map<std::string, bool, std::less<>> installed_;
    UserEditors userEditors_;
};

} // namespace pathwicks
