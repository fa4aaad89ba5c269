#pragma once

#include "panel/ReferenceLauncher.h"

namespace pathwicks {

// Starts goto tools directly (no shell) and hands web addresses to the desktop.
class QtLaunchHost : public LaunchHost {
public:
    std::optional<std::string> startProgram(const std::string& program,
                                            const std::vector<std::string>& arguments) override;
    std::optional<std::string> openUrl(const std::string& address) override;
    bool isExecutable(const std::string& path) const override;
};

} // namespace pathwicks
