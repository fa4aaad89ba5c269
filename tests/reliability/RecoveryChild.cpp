// A run of the program that the recovery test kills: it opens the document it is given, changes
// the first box's title to the second argument without saving, and waits to be killed.
#include "FakeDialogs.h"

#include "app/Application.h"
#include "app/DocumentWindow.h"
#include "app/RecoveryKeeper.h"

#include <QApplication>

using namespace pathwicks;

int main(int argc, char* argv[]) {
    if (argc != 3)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    RecoveryKeeper::setDelays(0, 0);
    testing::FakeDialogs dialogs;
    Application application;
    application.setDialogs(&dialogs);
    DocumentWindow* window = application.openFile(QString::fromLocal8Bit(argv[1]));
    if (!window || window->document().model().content().empty())
        return 1;
    auto reference = window->document().model().content().front();
    const std::string old = reference->title;
    window->document().undoManager().registerUndo([reference, old] { reference->title = old; });
    reference->title = argv[2];
    return QApplication::exec();
}
