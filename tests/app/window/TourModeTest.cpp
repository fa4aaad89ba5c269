#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/DetailPanelWidget.h"
#include "app/DocumentWindow.h"
#include "app/NoticeBar.h"
#include "app/TourMode.h"

#include "FakeDialogs.h"
#include "WindowTesting.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

// Tour order: Parse, then what it points to (Link, far below), then Report; a label far away
// makes room to scroll every box to the middle.
const char* const documentText = R"({
  "window": "{{100, 80}, {700, 500}}",
  "content": [
    {"id": "pathwick-A", "title": "Parse", "rect": "{{40, 30}, {180, 50}}", "arrows": [1]},
    {"id": "pathwick-B", "title": "Link,not-a-web-address", "editor": "Safari", "rect": "{{900, 1400}, {100, 50}}", "arrows": []},
    {"id": "pathwick-C", "title": "Report\nall", "rect": "{{1500, 200}, {160, 50}}", "arrows": []}
  ],
  "labels": [{"title": "Far away", "rect": "{{3000, 3000}, {220, 29}}"}]
})";

class TourModeTest : public pathwicks::testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window = open(write("tour.pathwicks", documentText));
        ASSERT_TRUE(window);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        window->canvasWidget().setFocus();
        QApplication::processEvents();
    }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&window->canvasWidget(), key, modifiers);
        QApplication::processEvents();
    }
    QAction* action(const QString& name) {
        for (QAction* action : window->findChildren<QAction*>())
            if (action->text().remove('&') == name)
                return action;
        return nullptr;
    }
    // The titles of the selected boxes.
    std::vector<std::string> selected() {
        std::vector<std::string> titles;
        for (const auto& reference : window->document().model().content())
            if (reference->selected)
                titles.push_back(reference->title);
        return titles;
    }
    // What the status bar says of the tour, when it shows it.
    QString status() {
        for (QLabel* label : window->statusBar()->findChildren<QLabel*>())
            if (label->isVisible() && label->text().startsWith("Stop "))
                return label->text();
        return {};
    }
    // How far the middle of the selected box lies from the middle of the view.
    QPoint offCentre() {
        for (const auto& reference : window->document().model().content()) {
            if (!reference->selected)
                continue;
            auto* area = window->findChild<QScrollArea*>();
            const QPoint middle(int(reference->rect.midX()), int(reference->rect.midY()));
            return window->canvasWidget().mapTo(area->viewport(), middle) -
                   area->viewport()->rect().center();
        }
        return {1000000, 1000000};
    }

    DocumentWindow* window = nullptr;
};

} // namespace

TEST_F(TourModeTest, KeysWalkTheStopsInTourOrderAndWrapAroundAtTheEnds) {
    ASSERT_TRUE(action("Next Stop"));
    EXPECT_FALSE(action("Next Stop")->isEnabled());
    press(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(window->tour().isActive());
    EXPECT_EQ(selected(), std::vector<std::string>{"Parse"});
    EXPECT_EQ(status(), "Stop 1 of 3: Parse");

    const struct {
        Qt::Key key;
        std::string title;
        QString status;
    } steps[] = {{Qt::Key_Right, "Link,not-a-web-address", "Stop 2 of 3: Link"},
                 {Qt::Key_Space, "Report\nall", "Stop 3 of 3: Report all"},
                 {Qt::Key_PageDown, "Parse", "Stop 1 of 3: Parse"},
                 {Qt::Key_Left, "Report\nall", "Stop 3 of 3: Report all"},
                 {Qt::Key_Backspace, "Link,not-a-web-address", "Stop 2 of 3: Link"},
                 {Qt::Key_PageUp, "Parse", "Stop 1 of 3: Parse"},
                 {Qt::Key_Backspace, "Report\nall", "Stop 3 of 3: Report all"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.status.toStdString());
        press(step.key);
        EXPECT_EQ(selected(), std::vector<std::string>{step.title});
        EXPECT_EQ(status(), step.status);
        EXPECT_EQ(window->detailPanel().panel().shownReference()->title, step.title);
        if (step.title != "Parse") { // the first box lies too near the corner to be centred
            EXPECT_LE(offCentre().manhattanLength(), 2) << offCentre().x() << ", " << offCentre().y();
        }
    }
    // A passing message, such as a menu's hint, hides the stop only while it shows.
    window->statusBar()->showMessage("A hint");
    EXPECT_EQ(status(), "");
    window->statusBar()->clearMessage();
    EXPECT_EQ(status(), "Stop 3 of 3: Report all");

    // Touring is no edit: nothing to undo, nothing unsaved, nothing opened, nothing deleted.
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_FALSE(window->document().undoManager().canUndo());
    EXPECT_EQ(window->document().model().content().size(), 3u);
    EXPECT_TRUE(dialogs.said.empty());

    press(Qt::Key_Escape);
    EXPECT_FALSE(window->tour().isActive());
    EXPECT_EQ(status(), "");
    EXPECT_FALSE(action("Previous Stop")->isEnabled());
}

TEST_F(TourModeTest, AnyEditEndsTheTourAndSavingDoesNot) {
    action("Start Tour")->trigger();
    press(Qt::Key_Right);
    ASSERT_TRUE(window->save());
    EXPECT_TRUE(window->tour().isActive());
    EXPECT_EQ(status(), "Stop 2 of 3: Link");

    // Backspace is Previous while touring; once the tour has ended, it deletes again.
    window->canvas().selectAll();
    action("Delete")->trigger();
    EXPECT_FALSE(window->tour().isActive());
    EXPECT_EQ(status(), "");
    EXPECT_TRUE(window->isWindowModified());
    action("Undo")->trigger();
    ASSERT_EQ(window->document().model().content().size(), 3u);

    // Starting again begins at the first stop; an undo is an edit too.
    action("Start Tour")->trigger();
    EXPECT_EQ(status(), "Stop 1 of 3: Parse");
    action("Redo")->trigger();
    EXPECT_FALSE(window->tour().isActive());
}

TEST_F(TourModeTest, WithOpenEditorCheckedEachStopOpensItsBox) {
    QAction* openEditor = action("Open Editor at Each Stop");
    ASSERT_TRUE(openEditor);
    EXPECT_TRUE(openEditor->isCheckable());
    press(Qt::Key_Return, Qt::ControlModifier);
    openEditor->setChecked(true);
    press(Qt::Key_Right);
    // The link box opens as a double click would: its address is refused, and says why.
    auto* notice = window->findChild<NoticeBar*>("noticeBar");
    ASSERT_TRUE(notice);
    ASSERT_TRUE(notice->text().startsWith("“Link” could not be opened")) << notice->text().toStdString();
    notice->showNotice("");
    openEditor->setChecked(false);
    press(Qt::Key_Left);
    press(Qt::Key_Right);
    EXPECT_EQ(notice->text(), "");
}

TEST_F(TourModeTest, EachStopShowsItsNoteAsWrittenOverTheCanvas) {
    window->document().model().content()[0]->note = "Read <b>this</b>\nfirst.";
    auto* panel = window->findChild<QScrollArea*>("tourNote");
    ASSERT_TRUE(panel);
    press(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(window->tour().isActive());
    auto* text = qobject_cast<QLabel*>(panel->widget());
    ASSERT_TRUE(text);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(text->text(), "Read <b>this</b>\nfirst.");
    EXPECT_EQ(text->textFormat(), Qt::PlainText);
    EXPECT_GT(panel->geometry().top(), panel->parentWidget()->height() / 2);
    press(Qt::Key_Right); // a stop without a note
    EXPECT_FALSE(panel->isVisible());
    press(Qt::Key_Left);
    press(Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
}
