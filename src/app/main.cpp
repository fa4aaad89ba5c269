#include "app/AboutBox.h"
#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/DocumentWindow.h"
#include "app/ExportCommand.h"
#include "app/FontConfiguration.h"
#include "app/ShellStyle.h"
#include "app/SingleInstance.h"
#include "app/Version.h"
#include "cli/Commands.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

// For the launch benchmark and scripted runs: ends the program as soon as a canvas has been
// painted once, having saved every open document first when asked to (exit status 1 when a
// save fails). When asked, it first tells when the painting ended, in microseconds of the
// system's clock, as "painted at N" on the standard error.
class QuitAfterFirstCanvasPaint : public QObject {
public:
    QuitAfterFirstCanvasPaint(bool save, bool tellTime) : save_(save), tellTime_(tellTime) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted_ &&
            qobject_cast<pathwicks::CanvasWidget*>(watched)) {
            painted_ = true;
            QTimer::singleShot(0, qApp, [this] { quit(); });
        }
        return false;
    }

private:
    void quit() const {
        if (tellTime_) {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::cerr << "painted at "
                      << std::chrono::duration_cast<std::chrono::microseconds>(now).count()
                      << std::endl;
        }
        bool saved = true;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<pathwicks::DocumentWindow*>(widget); window && save_)
                saved = window->save() && saved;
        }
        QCoreApplication::exit(saved ? 0 : 1);
    }

    bool save_;
    bool tellTime_;
    bool painted_ = false;
};

// What the command line asks for that needs no display; nothing when windows are wanted.
std::optional<int> runWithoutWindows(const std::vector<std::string>& args) {
    if (args.size() == 1 && args.front() == "--version") {
        std::cout << "pathwicks " << pathwicks::programVersion << "\n";
        std::cout.flush();
        if (std::cout)
            return 0;
        std::cerr << "pathwicks: cannot write to standard output\n";
        return 1;
    }
    if (!args.empty() && args.front() == "export")
        return pathwicks::runExport({args.begin() + 1, args.end()}, std::cout, std::cerr);
    return pathwicks::cli::runCommand(args, std::cout, std::cerr);
}

// The files of `pathwicks [--new-instance] [--] FILE...`, for the running instance; nothing
// when the arguments ask for a start of its own (the toolkit's options, --new-instance).
std::optional<std::vector<std::string>> filesToHandOver(std::vector<std::string> args) {
    if (std::find(args.begin(), args.end(), "--new-instance") != args.end())
        return std::nullopt;
    if (!args.empty() && args.front() == "--")
        args.erase(args.begin());
    else if (std::any_of(args.begin(), args.end(), [](const std::string& a) { return a.starts_with('-'); }))
        return std::nullopt;
    return args;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (auto status = runWithoutWindows(args))
            return *status;
        if (auto files = filesToHandOver(args); files && pathwicks::handOverFiles(*files))
            return 0;
    } catch (const std::bad_alloc&) {
        std::cerr << "pathwicks: not enough memory\n";
        return 1;
    }

    const std::jthread fonts = pathwicks::readFontConfigurationMeanwhile();
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName("Pathwicks");
    QApplication::setOrganizationName("Pathwicks");
    QApplication::setApplicationDisplayName("Pathwicks");
    QApplication::setApplicationVersion(pathwicks::programVersion);
    QApplication::setDesktopFileName("pathwicks");
    QApplication::setWindowIcon(pathwicks::applicationIcon());
    QApplication::setStyle(new pathwicks::ShellStyle);

    const bool saveAndQuit = std::getenv("PATHWICKS_SAVE_AFTER_FIRST_PAINT") != nullptr;
    const bool quitAndTell = std::getenv("PATHWICKS_QUIT_AFTER_FIRST_PAINT") != nullptr;
    QuitAfterFirstCanvasPaint quitter(saveAndQuit, quitAndTell);
    if (saveAndQuit || quitAndTell)
        qtApp.installEventFilter(&quitter);

    pathwicks::Application application;
    pathwicks::SingleInstance instance(
        [&application](const nlohmann::json& request) { return application.answerInstance(request); });
    instance.listen();
    application.endOnSignals();
    const bool restored = application.recovery().offerAtStart();
    // The documents as the system names them, in bytes (Qt has taken its own options out of
    // argv); a name that is not UTF-8 opens all the same.
    std::vector<std::string> files(argv + 1, argv + argc);
    std::erase(files, "--new-instance");
    if (!files.empty() && files.front() == "--")
        files.erase(files.begin());
    // Without a document to show, the start window offers the others.
    if ((files.empty() || !application.openFiles(files)) && !restored)
        application.showStartWindow();
    return QApplication::exec();
}
