#include "app/AboutBox.h"
#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/ExportCommand.h"
#include "app/Version.h"
#include "app/cli/Commands.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include <cstdlib>

#include <iostream>
#include <string>
#include <vector>

namespace {

// For the launch benchmark: ends the program as soon as a canvas has been painted once.
class QuitAfterFirstCanvasPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && qobject_cast<pathwicks::CanvasWidget*>(watched))
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return false;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args.front() == "--version") {
        std::cout << "pathwicks " << pathwicks::programVersion << "\n";
        return 0;
    }
    if (!args.empty() && args.front() == "export")
        return pathwicks::runExport({args.begin() + 1, args.end()}, std::cout, std::cerr);
    if (auto status = pathwicks::cli::runCommand(args, std::cout, std::cerr))
        return *status;

    QApplication qtApp(argc, argv);
    QApplication::setApplicationName("Pathwicks");
    QApplication::setOrganizationName("Pathwicks");
    QApplication::setApplicationDisplayName("Pathwicks");
    QApplication::setApplicationVersion(pathwicks::programVersion);
    QApplication::setDesktopFileName("pathwicks");
    QApplication::setWindowIcon(pathwicks::applicationIcon());

    QuitAfterFirstCanvasPaint quitter;
    if (std::getenv("PATHWICKS_QUIT_AFTER_FIRST_PAINT"))
        qtApp.installEventFilter(&quitter);

    pathwicks::Application application;
    const bool restored = application.recovery().offerAtStart();
    const QStringList files = QApplication::arguments().mid(1);
    if (files.isEmpty()) {
        if (!restored)
            application.showStartWindow();
    } else if (!application.openFiles(files) && !restored) {
        return 1;
    }
    return QApplication::exec();
}
