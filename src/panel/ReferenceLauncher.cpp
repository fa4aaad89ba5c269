#include "panel/ReferenceLauncher.h"

#include "panel/GotoTool.h"

#include <algorithm>
#include <cctype>

namespace pathwicks {

std::optional<std::string> webAddress(const Reference& reference) {
    const auto comma = reference.title.find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    return reference.title.substr(comma + 1);
}

bool isWebScheme(const std::string& address) {
    const auto colon = address.find(':');
    if (colon == std::string::npos)
        return false;
    std::string scheme = address.substr(0, colon);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return (scheme == "http" || scheme == "https") && address.compare(colon, 3, "://") == 0 &&
           address.size() > colon + 3;
}

LaunchCommand launchCommand(const Reference& reference, const std::string& documentFolder,
                            const std::string& bundle) {
    if (reference.isWebAddress()) {
        auto address = webAddress(reference);
        if (!address)
            return LaunchRefusal{"“" + reference.title +
                                 "” holds no web address. Write the title as a caption, a comma "
                                 "and the address, such as: Docs,https://example.org"};
        if (!isWebScheme(*address))
            return LaunchRefusal{"“" + *address +
                                 "” is not opened: only web addresses beginning with http:// or "
                                 "https:// are, since other kinds can start programs."};
        return UrlLaunch{*address};
    }
    auto tool = gotoToolPath(reference.editor, bundle);
    if (!tool)
        return LaunchRefusal{"“" + reference.editor + "” is not an editor Pathwicks can open."};
    return ProgramLaunch{*tool, {documentFolder, reference.id}};
}

std::optional<std::string> launchEditor(const Reference& reference,
                                        const std::string& documentFolder,
                                        const std::string& bundle, LaunchHost& host) {
    const LaunchCommand command = launchCommand(reference, documentFolder, bundle);
    if (auto* refusal = std::get_if<LaunchRefusal>(&command))
        return refusal->message;
    if (auto* url = std::get_if<UrlLaunch>(&command))
        return host.openUrl(url->address);
    const auto& launch = std::get<ProgramLaunch>(command);
    if (!host.isExecutable(launch.program))
        return "The tool that opens “" + reference.editor +
               "” references is missing: " + launch.program;
    return host.startProgram(launch.program, launch.arguments);
}

} // namespace pathwicks
