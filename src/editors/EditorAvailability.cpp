#include "editors/EditorAvailability.h"

#include "editors/EditorCatalogue.h"
#include "model/Reference.h"

namespace pathwicks {

namespace {

bool alwaysAvailable(std::string_view name) {
    return name == defaultEditorName || name == webLinkEditorName;
}

} // namespace

void EditorAvailability::detectEditors(std::string_view pathList, std::string_view homeFolder) {
    for (const Editor& editor : editorCatalogue()) {
        if (!alwaysAvailable(editor.name))
            installed_[std::string(editor.name)] =
                findLauncher(editor, pathList, homeFolder).has_value();
    }
}

bool EditorAvailability::isEditorAvailable(std::string_view name) const {
    if (alwaysAvailable(name))
        return true;
    if (!findEditor(name))
        return false;
    auto it = installed_.find(name);
    return it != installed_.end() && it->second;
}

} // namespace pathwicks
