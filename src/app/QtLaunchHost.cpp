#include "app/QtLaunchHost.h"

#include "app/ActivationToken.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <cstdint>
#include <memory>

namespace pathwicks {

namespace {

// The X server's time of the last click or key press, for the startup id of what it starts.
class LastInput : public QObject {
public:
    unsigned long time = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        const auto type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
            type == QEvent::KeyPress)
            time = static_cast<QInputEvent*>(event)->timestamp();
        return false;
    }
};

LastInput& lastInput() {
    static LastInput* input = [] {
        auto* filter = new LastInput;
        if (QCoreApplication::instance())
            QCoreApplication::instance()->installEventFilter(filter);
        return filter;
    }();
    return *input;
}

// An xdg-activation token from the compositor, asked for with the last input event the window
// with the focus received; none off Wayland or where the compositor grants none.
std::optional<std::string> waylandActivationToken() {
    auto* native = QGuiApplication::platformNativeInterface();
    if (!native || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return std::nullopt;
    ActivationRequest request;
    request.seat = static_cast<wl_seat*>(native->nativeResourceForIntegration("wl_seat"));
    request.serial = static_cast<std::uint32_t>(
        reinterpret_cast<quintptr>(native->nativeResourceForIntegration("serial")));
    if (QWindow* window = QGuiApplication::focusWindow(); window && window->handle())
        request.surface =
            static_cast<wl_surface*>(native->nativeResourceForWindow("surface", window));
    request.appId = QGuiApplication::desktopFileName().toStdString();
    return requestActivationToken(
        static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display")), request);
}

// The tool passes the activation on to the editor it starts (xdg-open to the browser), so that
// its window may come to the front: on Wayland a token the compositor gives for the last click
// or key press, on X11 a startup id carrying the time of it. A token this program was started
// with is spent and goes to no one.
QProcessEnvironment toolEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_ACTIVATION_TOKEN"));
    environment.remove(QStringLiteral("DESKTOP_STARTUP_ID"));
    if (const auto token = waylandActivationToken())
        environment.insert(QStringLiteral("XDG_ACTIVATION_TOKEN"), QString::fromStdString(*token));
    static unsigned launches = 0;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && lastInput().time != 0)
        environment.insert(QStringLiteral("DESKTOP_STARTUP_ID"),
                           QStringLiteral("pathwicks-%1-%2_TIME%3")
                               .arg(QCoreApplication::applicationPid())
                               .arg(++launches)
                               .arg(lastInput().time));
    return environment;
}

} // namespace

QtLaunchHost::QtLaunchHost(QObject* parent) : QObject(parent) {
    lastInput();
}

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
    process->setProcessEnvironment(toolEnvironment());
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
    // xdg-open, where there is one, is watched to its end: it fails after starting when no
    // program on the desktop takes the address.
    const QString opener = QStandardPaths::findExecutable("xdg-open");
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(url))
            return "No program on this desktop opened “" + address + "”.";
        return std::nullopt;
    }
    return startOpener(opener, url);
}

std::optional<std::string> QtLaunchHost::startOpener(const QString& opener, const QUrl& url) {
    // Its standard error goes to a file rather than a pipe, so that a browser it starts can
    // write there after this program has ended; the file has no name once the opener runs.
    QTemporaryFile written;
    if (!written.open())
        return "No program on this desktop opened “" + url.toString().toStdString() + "”.";
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({url.toString(QUrl::FullyEncoded)});
    process->setProcessEnvironment(toolEnvironment());
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(written.fileName());
    auto said = std::make_shared<QFile>(written.fileName());
    said->open(QIODevice::ReadOnly);
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::finished, this,
                     [this, said, opener, label = label](int exitCode, QProcess::ExitStatus how) {
                         if (how == QProcess::NormalExit && exitCode == 0)
                             return;
                         const QString text = QString::fromUtf8(said->read(4096)).simplified();
                         const QString ended = how == QProcess::NormalExit
                                                   ? QString(" ended with status %1").arg(exitCode)
                                                   : QString(" stopped unexpectedly");
                         if (onUrlFailed)
                             onUrlFailed(label, QFileInfo(opener).fileName().toStdString() +
                                                    ended.toStdString() +
                                                    (text.isEmpty() ? "" : ": " + text.toStdString()));
                     });
    process->start();
    if (!process->waitForStarted(-1)) {
        delete process;
        return "No program on this desktop opened “" + url.toString().toStdString() + "”.";
    }
    return std::nullopt;
}

bool QtLaunchHost::isExecutable(const std::string& path) const {
    const QFileInfo info(QString::fromStdString(path));
    return info.isFile() && info.isExecutable();
}

} // namespace pathwicks
