#include "editors/EditorAvailability.h"

#include "editors/EditorCatalogue.h"
#include "editors/EditorCommand.h"
#include "model/Reference.h"

#include <cstdlib>

namespace pathwicks {

namespace {

bool alwaysAvailable(std::string_view name) {
#ifdef __APPLE__
    if (name == defaultEditorName)
        return true;
#endif
    return name == webLinkEditorName;
}

bool opens(const OpenCommand& command) {
    return std::holds_alternative<std::vector<CommandLine>>(command);
}

// New references take the first of these that is installed.
constexpr std::string_view preferredEditors[] = {
    "VS Code",    "VSCodium", "Cursor",          "Zed",           "WebStorm",  "IntelliJ IDEA",
    "CLion",      "PyCharm",  "GoLand",          "Rider",         "RustRover", "PhpStorm",
    "Kate",       "Emacs",    "Neovim",          "Vim",           "gedit",     "Geany",
    "Qt Creator", "Sublime",  "Terminal Editor", "System Default"};

} // namespace

EditorEnvironment EditorEnvironment::ofThisProcess() {
    EditorEnvironment environment;
    const char* path = std::getenv("PATH");
    environment.path = path ? path : "/usr/local/bin:/usr/bin:/bin";
    if (const char* home = std::getenv("HOME"))
        environment.home = home;
    for (const char* name : {"TERMINAL", "VISUAL", "EDITOR", "XDG_CONFIG_HOME"})
        if (const char* value = std::getenv(name))
            environment.variables[name] = value;
    return environment;
}

void EditorAvailability::detectEditors(const EditorEnvironment& environment) {
    userEditors_ = readUserEditors(environment);
    // Any file and line will do: only whether a command can be made matters.
    const OpenPlace place{"/", 1, "/"};
    for (const Editor& editor : editorCatalogue()) {
        if (!alwaysAvailable(editor.name))
            installed_[std::string(editor.name)] =
                opens(openCommand(editor, place, environment, userEditors_));
    }
    for (const UserEditor& editor : userEditors_.editors) {
        if (!alwaysAvailable(editor.name))
            installed_[editor.name] = opens(openCommand(editor, place, environment));
    }
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
