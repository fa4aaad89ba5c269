// Opens each document in a window offscreen, as the program does, and prints how long opening
// and then painting the whole window took, or the message it was refused with.
// Usage: open_timer FILE...   (prints: name, result, open ms, paint ms)
#include "FakeDialogs.h"

#include "app/Application.h"
#include "app/DocumentWindow.h"
#include "model/UndoManager.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

#include <chrono>
#include <iostream>

using namespace pathwicks;
using Clock = std::chrono::steady_clock;

namespace {

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char* argv[]) {
    QStandardPaths::setTestModeEnabled(true);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName("PathwicksTests");
    QApplication::setApplicationName("open_timer");
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        Application application;
        testing::FakeDialogs dialogs;
        application.setDialogs(&dialogs);
        const auto start = Clock::now();
        DocumentWindow* window = application.openFile(path);
        bool exposed = window && QTest::qWaitForWindowExposed(window, 60'000);
        const double opened = millisecondsSince(start);
        std::cout << QFileInfo(path).completeBaseName().toStdString() << '\t';
        if (!window) {
            std::string reason = dialogs.said.empty() ? "refused" : dialogs.said.front();
            for (char& c : reason)
                c = c == '\n' ? ' ' : c;
            std::cout << "refused: " << reason << '\t' << opened << "\t-\n";
            continue;
        }
        // A second full paint, as scrolling or a change would ask for.
        const auto paintStart = Clock::now();
        const bool painted = !window->grab().isNull();
        const double paint = millisecondsSince(paintStart);
        std::cout << (exposed && painted ? "opened" : "opened, not shown") << '\t' << opened << '\t'
                  << paint << '\n';
        window->document().undoManager().markSaved();
        window->close();
        QApplication::processEvents();
    }
    return 0;
}
