#include "panel/GotoTool.h"

#include "model/Bundle.h"
#include "editors/EditorCatalogue.h"

namespace pathwicks {

std::optional<std::string> gotoToolPath(std::string_view editorName, const std::string& bundle) {
    const std::string key = editorKey(editorName);
    if (key.empty() || key.find('/') != std::string::npos || key.find('\0') != std::string::npos ||
        key.find("..") != std::string::npos)
        return std::nullopt;
    if (bundle.empty())
        return std::nullopt;
    return bundle + "/Contents/Resources/" + key + "-goto";
}

std::optional<std::string> gotoToolPath(std::string_view editorName) {
    return gotoToolPath(editorName, bundlePath());
}

} // namespace pathwicks
