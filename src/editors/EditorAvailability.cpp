#include "editors/EditorAvailability.h"

#include "editors/EditorCatalogue.h"
#include "editors/EditorLaunch.h"
#include "editors/FolderListings.h"
#include "model/Reference.h"

namespace pathwicks {

namespace {

bool alwaysAvailable(std::string_view name) {
#ifdef __APPLE__
    if (name == defaultEditorName)
        return true;
#endif
    return name == webLinkEditorName;
}

// New references take the first of these that is installed.
constexpr std::string_view preferredEditors[] = {
    "VS Code",    "VSCodium", "Cursor",          "Zed",           "WebStorm",  "IntelliJ IDEA",
    "CLion",      "PyCharm",  "GoLand",          "Rider",         "RustRover", "PhpStorm",
    "Kate",       "Emacs",    "Neovim",          "Vim",           "gedit",     "Geany",
    "Qt Creator", "Sublime",  "Terminal Editor", "System Default"};

} // namespace

void EditorAvailability::detectEditors(const EditorEnvironment& environment) {
    const FolderListings listings;
    userEditors_ = readUserEditors(environment);
    // Any file and line will do: only whether the editor can be started matters.
    const OpenPlace place{"/", 1, "/"};
    for (const std::string& name : editorNames())
        if (!alwaysAvailable(name))
            installed_[name] = resolveEditor(name, place, environment, userEditors_).runs();
}

void EditorAvailability::detectEditors(std::string_view pathList, std::string_view homeFolder) {
    EditorEnvironment environment;
    environment.path = pathList;
    environment.home = homeFolder;
    detectEditors(environment);
}

bool EditorAvailability::isEditorAvailable(std::string_view name) const {
    if (alwaysAvailable(name))
        return true;
    if (!findEditor(name) && !userEditors_.find(name))
        return false;
    auto it = installed_.find(name);
    return it != installed_.end() && it->second;
}

std::vector<std::string> EditorAvailability::editorNames() const {
    std::vector<std::string> names;
    for (const Editor& editor : editorCatalogue())
        names.emplace_back(editor.name);
    for (const UserEditor& editor : userEditors_.editors)
        if (!findEditor(editor.name))
            names.push_back(editor.name);
    return names;
}

bool EditorAvailability::isUserEditorOnly(std::string_view name) const {
    return !findEditor(name) && userEditors_.find(name);
}

std::string
EditorAvailability::newReferenceEditor(const std::optional<std::string>& lastChosen) const {
    if (lastChosen && *lastChosen != webLinkEditorName && isEditorAvailable(*lastChosen))
        return *lastChosen;
    for (auto name : preferredEditors)
        if (isEditorAvailable(name))
            return std::string(name);
    return "System Default";
}

} // namespace pathwicks
