#include "model/SaveAsPath.h"

#include <filesystem>

namespace pathwicks {

SaveAsPath saveAsPath(const std::string& chosen) {
    const std::string name = chosen.substr(chosen.rfind('/') + 1);
    const size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot + 1 < name.size();
    if (hasExtension)
        return {chosen, false};
    SaveAsPath target{chosen + ".pathwicks", false};
    std::error_code error;
    target.askToReplace =
        std::filesystem::exists(std::filesystem::symlink_status(target.path, error));
    return target;
}

} // namespace pathwicks
