#include "panel/PlaceLauncher.h"

#include "editors/EditorLaunch.h"

namespace pathwicks {

std::optional<ProgramLaunch> placeLaunch(const Reference& reference, const std::string& file,
                                         uint64_t line, const std::string& folder,
                                         const EditorEnvironment& environment,
                                         const UserEditors& userEditors) {
    if (reference.isWebAddress())
        return std::nullopt;
    const EditorLaunch launch =
        resolveEditor(reference.editor, {file, line, folder}, environment, userEditors);
    if (!launch.runs() || !launch.server.empty())
        return std::nullopt;
    const std::vector<std::string> words = launch.words();
    return ProgramLaunch{words.front(), {words.begin() + 1, words.end()}};
}

} // namespace pathwicks
