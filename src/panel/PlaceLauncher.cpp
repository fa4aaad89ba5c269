#include "panel/PlaceLauncher.h"

#include "editors/EditorCatalogue.h"

namespace pathwicks {

std::optional<ProgramLaunch> placeLaunch(const Reference& reference, const std::string& file,
                                         uint64_t line, std::string_view pathList,
                                         std::string_view home) {
    const Editor* editor = findEditor(reference.editor);
    if (!editor || reference.isWebAddress() || !editor->hasGotoTool)
        return std::nullopt;
    auto launcher = findLauncher(*editor, pathList, home);
    if (!launcher)
        return std::nullopt;
    return ProgramLaunch{*launcher, editorArguments(*editor, file, line)};
}

} // namespace pathwicks
