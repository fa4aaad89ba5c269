#include "app/QtLaunchHost.h"

#include "goto/ProcessStart.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace pathwicks {

std::optional<std::string> QtLaunchHost::startProgram(const std::string& program,
                                                      const std::vector<std::string>& arguments) {
    return pathwicks::startProgram(program, arguments);
}

std::optional<std::string> QtLaunchHost::openUrl(const std::string& address) {
    const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != "http" && scheme != "https"))
        return "“" + address + "” is not a web address that can be opened.";
    if (!QDesktopServices::openUrl(url))
        return "No program on this desktop opened “" + address + "”.";
    return std::nullopt;
}

bool QtLaunchHost::isExecutable(const std::string& path) const {
    const QFileInfo info(QString::fromStdString(path));
    return info.isFile() && info.isExecutable();
}

} // namespace pathwicks
