#include "editors/EditorChoice.h"

#include "editors/EditorCatalogue.h"
#include "model/Reference.h"

namespace pathwicks {

std::string defaultEditor(const EditorAvailability& editors) {
    return editors.newReferenceEditor(std::nullopt);
}

std::string myEditor(const EditorPreferences& preferences, const EditorAvailability& editors) {
    if (!preferences.myEditor.empty() && preferences.myEditor != webLinkEditorName)
        return preferences.myEditor;
    return defaultEditor(editors);
}

EditorToOpen editorToOpen(std::string_view boxEditor, const EditorPreferences& preferences,
                          const EditorAvailability& editors) {
    if (boxEditor == webLinkEditorName)
        return {std::string(boxEditor), false};
    const std::string mine = myEditor(preferences, editors);
    if (preferences.openIn == OpenBoxesIn::mine)
        return {mine, false};
    // A name no editor has keeps its own goto tool, which says what is wrong.
    const bool known = findEditor(boxEditor) || editors.userEditors().find(boxEditor);
    if (!known || editors.isEditorAvailable(boxEditor) || mine == boxEditor)
        return {std::string(boxEditor), false};
    return {mine, true};
}

std::string standInNotice(std::string_view boxEditor, std::string_view opened) {
    return std::string(boxEditor) + " is not installed here; opened in " + std::string(opened) +
           ". Choose your editor in Preferences.";
}

} // namespace pathwicks
