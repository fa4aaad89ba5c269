// A run of the program that the recovery test kills: it opens the document it is given, changes
// the first box's title to the second argument without saving, and waits to be killed. With a
// third argument, "late", it makes no copy of its own before it is ended, and says "changed"
// on its output once the change is made.
#include "FakeDialogs.h"

#include "app/Application.h"
#include "app/DocumentWindow.h"
#include "app/RecoveryKeeper.h"

#include <QApplication>

#include <cstdio>
#include <string>

using namespace pathwicks;

int main(int argc, char* argv[]) {
    if (argc != 3 && argc != 4)
        return 2;
    const bool late = argc == 4 && std::string(argv[3]) == "late";
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    RecoveryKeeper::setDelays(late ? 3'600'000 : 0, late ? 3'600'000 : 0);
    testing::FakeDialogs dialogs;
    Application application;
    application.setDialogs(&dialogs);
    application.endOnSignals();
    DocumentWindow* window = application.openFile(QString::fromLocal8Bit(argv[1]));
    if (!window || window->document().model().content().empty())
        return 1;
    auto reference = window->document().model().content().front();
    const std::string old = reference->title;
    window->document().undoManager().registerUndo([reference, old] { reference->title = old; });
    reference->title = argv[2];
    if (late) {
        std::fputs("changed\n", stdout);
        std::fflush(stdout);
    }
    return QApplication::exec();
}
