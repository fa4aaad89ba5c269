#include "app/QtLaunchHost.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace pathwicks {

std::optional<std::string> QtLaunchHost::startProgram(const std::string& program,
                                                      const std::vector<std::string>& arguments) {
    // Given its arguments as a list, never a command line. The process belongs to no window:
    // closing the window lets the tool finish, and the process deletes itself once it has, so
    // no exited child is left behind in this long-running program.
    auto* process = new QProcess;
    process->setProgram(QString::fromStdString(program));
    QStringList list;
    for (const auto& argument : arguments)
        list.push_back(QString::fromStdString(argument));
    process->setArguments(list);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::SeparateChannels);
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::finished, this,
                     [this, process, label = label](int exitCode, QProcess::ExitStatus exitStatus) {
                         --running_;
                         const std::string errorText =
                             QString::fromUtf8(process->readAllStandardError()).toStdString();
                         if (onFinished)
                             onFinished(label, exitStatus == QProcess::NormalExit ? exitCode : -1,
                                        errorText);
                     });
    process->start();
    if (!process->waitForStarted(-1)) {
        const std::string message =
            program + " could not be started: " + process->errorString().toStdString();
        delete process;
        return message;
    }
    ++running_;
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
