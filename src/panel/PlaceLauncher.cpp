#include "panel/PlaceLauncher.h"

#include "editors/EditorCatalogue.h"
#include "editors/EditorCommand.h"

#include <variant>

namespace pathwicks {

std::optional<ProgramLaunch> placeLaunch(const Reference& reference, const std::string& file,
                                         uint64_t line, const std::string& folder,
                                         const EditorEnvironment& environment,
                                         const UserEditors& userEditors) {
    if (reference.isWebAddress())
        return std::nullopt;
    const OpenPlace place{file, line, folder};
    OpenCommand command;
    if (const Editor* editor = findEditor(reference.editor); editor && editor->hasGotoTool)
        command = openCommand(*editor, place, environment, userEditors);
    else if (const UserEditor* own = userEditors.find(reference.editor))
        command = openCommand(*own, place, environment);
    else
        return std::nullopt;
    const auto* lines = std::get_if<std::vector<CommandLine>>(&command);
    if (!lines || lines->size() != 1 || lines->front().tryFirst || lines->front().words.empty())
        return std::nullopt;
    const auto& words = lines->front().words;
    return ProgramLaunch{words.front(), {words.begin() + 1, words.end()}};
}

} // namespace pathwicks
