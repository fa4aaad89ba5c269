// Hostile documents, at a small size, opened in a window: each opens and paints, or is refused
// with a message; none takes the program down.
#include "FakeDialogs.h"
#include "FaultFolders.h"
#include "HostileDocuments.h"

#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/DocumentWindow.h"
#include "model/UndoManager.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace pathwicks;
using namespace pathwicks::testing;
namespace fs = std::filesystem;

namespace {

TEST(HostileWindows, EachOpensAndPaintsOrIsRefused) {
    TemporaryFolder folder;
    for (const auto& document : hostile::allDocuments(false)) {
        SCOPED_TRACE(document.name);
        const fs::path file = folder.path() / (document.name + ".pathwicks");
        writeText(file, document.bytes);
        Application application;
        FakeDialogs dialogs;
        application.setDialogs(&dialogs);
        DocumentWindow* window = application.openFile(QString::fromStdString(file.string()));
        if (!window) {
            EXPECT_EQ(dialogs.count("failure: "), 1);
            continue;
        }
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        EXPECT_FALSE(window->grab().isNull());
        EXPECT_FALSE(window->isWindowModified());
        window->close();
        QApplication::processEvents();
        EXPECT_EQ(readText(file), document.bytes);
    }
}

} // namespace
