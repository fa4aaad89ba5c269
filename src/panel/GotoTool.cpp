#include "panel/GotoTool.h"

#include "model/Bundle.h"

namespace pathwicks {

std::optional<std::string> gotoToolPath(const EditorChoice& editor, const std::string& bundle) {
    if (!editor.opensThroughCustomTool()) {
        const std::string key = editorKey(editor.name);
        if (key.empty() || key.find('/') != std::string::npos ||
            key.find('\0') != std::string::npos || key.find("..") != std::string::npos)
            return std::nullopt;
    }
    if (bundle.empty())
        return std::nullopt;
    return bundle + "/Contents/Resources/" + editor.gotoTool();
}

std::optional<std::string> gotoToolPath(std::string_view editorName, const std::string& bundle) {
    return gotoToolPath(chooseEditor(editorName, {}), bundle);
}

std::optional<std::string> gotoToolPath(std::string_view editorName) {
    return gotoToolPath(editorName, bundlePath());
}

} // namespace pathwicks
