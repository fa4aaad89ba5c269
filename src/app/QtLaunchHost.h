#pragma once

#include "panel/ReferenceLauncher.h"

#include <QObject>
#include <QString>

class QUrl;

#include <functional>

namespace pathwicks {

// Starts goto tools directly (no shell) without waiting for them, with the activation that
// lets their editor come to the front, and hands web addresses to the desktop (xdg-open). When a
// tool exits, what it wrote to its standard error and its exit status go to onFinished, and when
// xdg-open fails, its words go to onUrlFailed, unless the host is gone by then.
class QtLaunchHost : public QObject, public LaunchHost {
    Q_OBJECT
public:
    explicit QtLaunchHost(QObject* parent = nullptr);

    std::optional<std::string> startProgram(const std::string& program,
                                            const std::vector<std::string>& arguments) override;
    std::optional<std::string> openUrl(const std::string& address) override;
    bool isExecutable(const std::string& path) const override;

    // Given back with the outcome of the tools started from now on.
    std::string label;
    // The label, the exit status (-1 when the tool crashed) and the tool's standard error.
    std::function<void(const std::string& label, int status, const std::string& errorText)>
        onFinished;
    // The label and why the address could not be opened, with the opener's words.
    std::function<void(const std::string& label, const std::string& why)> onUrlFailed;
    // Tools started and not yet exited.
    int runningTools() const { return running_; }

private:
    std::optional<std::string> startOpener(const QString& opener, const QUrl& url);

    int running_ = 0;
};

} // namespace pathwicks
