#include "app/QtLaunchHost.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace pathwicks {

std::optional<std::string> QtLaunchHost::startProgram(const std::string& program,
                                                      const std::vector<std::string>& arguments) {
    // Detached, so that nothing waits for the tool and no exited child is left behind in this
    // long-running program; given its arguments as a list, never a command line.
    QProcess process;
    process.setProgram(QString::fromStdString(program));
    QStringList list;
    for (const auto& argument : arguments)
        list.push_back(QString::fromStdString(argument));
    process.setArguments(list);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached())
        return program + " could not be started: " + process.errorString().toStdString();
    return std::nullopt;
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
