// Titles typed in place, context menus, Find's count, the Editor menu, help, the start window.
#include "app/CanvasWidget.h"
#include "app/CommandMenus.h"
#include "app/DocumentWindow.h"
#include "app/EditorMenu.h"
#include "app/FindBar.h"
#include "app/HelpDialogs.h"
#include "app/StartWindow.h"

#include "WindowTesting.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

const char* const kDocument = R"({
  "window": "{{100, 80}, {700, 500}}",
  "content": [
    {"id": "pathwick-A", "title": "Parse", "rect": "{{100, 100}, {100, 50}}", "arrows": [1]},
    {"id": "pathwick-B", "title": "Eval", "rect": "{{300, 100}, {100, 50}}", "arrows": []}
  ],
  "labels": [{"title": "Overview", "rect": "{{100, 250}, {160, 30}}"}]
})";

class EditingWindowTest : public pathwicks::testing::WindowTest {
protected:
    void SetUp() override {
        previousName = QApplication::applicationName();
        QApplication::setApplicationName(
            QString("editing_window_tests.") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        // Kate is installed; nothing else is.
        fs::create_directories(folder / "bin");
        std::ofstream(folder / "bin" / "kate") << "#!/bin/sh\n";
        fs::permissions(folder / "bin" / "kate", fs::perms::owner_all);
        previousPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", (folder / "bin").c_str(), 1);
        WindowTest::SetUp();
        const fs::path file = folder / "editing.pathwicks";
        std::ofstream(file) << kDocument;
        window = open(file);
        ASSERT_TRUE(window);
        widget = &window->canvasWidget();
        widget->setFocus();
        ::setenv("PATH", previousPath.c_str(), 1);
    }
    void TearDown() override {
        WindowTest::TearDown();
        QApplication::setApplicationName(previousName);
    }
    Canvas& canvas() { return window->canvas(); }
    ReferencePtr box(size_t i) { return canvas().model().content().at(i); }
    void selectOnly(const ReferencePtr& reference) {
        canvas().deselectAll();
        reference->selected = true;
        canvas().updateDetailPanel();
    }
    QLineEdit* titleField() { return window->findChild<QLineEdit*>("labelEditor"); }
    // The entries of a menu, its submenus' entries after "Title >".
    static QStringList entries(QMenu& menu) {
        QStringList texts;
        for (QAction* action : menu.actions()) {
            if (action->isSeparator())
                continue;
            QString text = action->text().remove('&');
            if (action->menu()) {
                for (const QString& inner : entries(*action->menu()))
                    texts << text + " > " + inner;
            } else {
                texts << text;
            }
        }
        return texts;
    }
    QStringList contextEntries(Point at) {
        auto* menus = window->findChild<CommandMenus*>();
        std::unique_ptr<QMenu> menu(menus->contextMenu(targetAt(canvas(), at), window));
        return entries(*menu);
    }

    QString previousName;
    std::string previousPath;
    QPointer<DocumentWindow> window;
    CanvasWidget* widget = nullptr;
};

} // namespace

TEST_F(EditingWindowTest, TitlesAreTypedInPlaceAndEachEditIsOneUndoStep) {
    const struct {
        std::function<void()> start;
        QString fieldText;
        bool commit;
        std::string title;
    } cases[] = {
        {[&] { QTest::keyClick(widget, Qt::Key_F2); }, "Parse", true, "Parse input"},
        {[&] { QTest::keyClick(widget, Qt::Key_Return); }, "Parse", false, "Parse"},
        {[&] { QTest::keyClicks(widget, "L"); }, "L", true, "Lparse input"},
    };
    for (const auto& each : cases) {
        selectOnly(box(0));
        widget->setFocus();
        each.start();
        QLineEdit* field = titleField();
        ASSERT_TRUE(field && field->isVisible());
        EXPECT_EQ(field->text(), each.fieldText);
        EXPECT_EQ(field->font(), application->measurer().font(TextStyle::reference));
        field->setText(each.fieldText == "L" ? "Lparse input" : "Parse input");
        EXPECT_EQ(box(0)->title, each.fieldText == "L" ? "Lparse input" : "Parse input");
        QTest::keyClick(field, each.commit ? Qt::Key_Return : Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !field->isVisible(); }));
        EXPECT_EQ(box(0)->title, each.title);
        if (each.commit) {
            window->document().undoManager().undo();
            EXPECT_EQ(box(0)->title, "Parse");
        }
    }
    EXPECT_FALSE(window->document().undoManager().canUndo());

    // A new box from the Insert menu opens for typing its title.
    for (QAction* action : window->findChildren<QAction*>())
        if (action->text() == "&Reference")
            action->trigger();
    ASSERT_EQ(canvas().model().content().size(), 3u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return titleField()->isVisible(); }));
    QTest::keyClicks(titleField(), "Walk");
    QTest::keyClick(titleField(), Qt::Key_Return);
    EXPECT_EQ(box(2)->title, "Walk");
}

TEST_F(EditingWindowTest, ContextMenusOfferWhatAppliesWhereTheClickLands) {
    const QStringList box = contextEntries({150, 125});
    for (const char* entry : {"Rename", "Open in Editor", "Copy Marker Line", "Cut", "Delete"})
        EXPECT_TRUE(box.contains(entry)) << entry;
    EXPECT_TRUE(box.contains("Editor > Kate"));
    EXPECT_FALSE(box.contains("Paste"));

    const QStringList label = contextEntries({180, 265});
    EXPECT_TRUE(label.contains("Rename"));
    EXPECT_FALSE(label.contains("Open in Editor"));

    EXPECT_EQ(contextEntries({250, 125}), QStringList{"Delete Arrow"});

    const QStringList empty = contextEntries({600, 400});
    for (const char* entry : {"Paste", "Reference", "Label", "Zoom In", "Select All"})
        EXPECT_TRUE(empty.contains(entry)) << entry;
    EXPECT_FALSE(empty.contains("Delete"));

    canvas().selectAll();
    const QStringList selection = contextEntries({150, 125});
    EXPECT_TRUE(selection.contains("Arrange > Align Left Edges"));
    EXPECT_TRUE(selection.contains("Connect in Reading Order"));

    // A real right click on the arrow, then its one entry: the arrow goes, as one step.
    canvas().deselectAll();
    QTest::mouseClick(widget, Qt::RightButton, Qt::NoModifier, QPoint(250, 125));
    QMenu* menu = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return (menu = window->findChild<QMenu*>("contextMenu")) && menu->isVisible();
    }));
    menu->actions().at(0)->trigger();
    menu->close();
    EXPECT_TRUE(canvas().model().arrows.empty());
    window->document().undoManager().undo();
    EXPECT_EQ(canvas().model().arrows.size(), 1u);
}

TEST_F(EditingWindowTest, FindCountsAndANoMatchSelectsNothing) {
    QTest::keyClick(widget, Qt::Key_F, Qt::ControlModifier);
    auto* field = window->findChild<QLineEdit*>("findField");
    auto* bar = window->findChild<FindBar*>();
    QTest::keyClicks(field, "e");
    EXPECT_EQ(bar->countText(), "1 of 3"); // Parse, Eval, Overview
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(bar->countText(), "2 of 3");
    EXPECT_TRUE(box(1)->selected);
    QTest::keyClicks(field, "zzz");
    EXPECT_EQ(bar->countText(), "No match");
    EXPECT_FALSE(canvas().hasSelection());
}

TEST_F(EditingWindowTest, TheEditorMenuListsInstalledEditorsFirstAndTheRestUnderMore) {
    auto* menu = window->findChild<EditorMenu*>();
    const QStringList listed = entries(*menu);
    EXPECT_TRUE(listed.contains("Kate"));
    EXPECT_TRUE(listed.contains("Web Link"));
    EXPECT_LT(listed.indexOf("Kate"), listed.indexOf("More Editors > VS Code"));
    for (const QString& entry : listed) {
        EXPECT_FALSE(entry.contains("Xcode") || entry.contains("TextMate") ||
                     entry.contains("Safari") || entry.contains("not installed"))
            << entry.toStdString();
    }
    // The web-link kind is still stored by its old name.
    selectOnly(box(0));
    for (QAction* action : menu->actions())
        if (action->text() == "Web Link")
            action->trigger();
    EXPECT_EQ(box(0)->editor, "Safari");
}

TEST_F(EditingWindowTest, HelpListsEveryCommandsKeysAndEveryLanguagesMarker) {
    const QString keys = keyboardShortcutsText();
    for (const char* line : {"Rename", "F2", "Select Next", "Tab", "Connect in Reading Order",
                             "Ctrl+L", "Nudge Left", "Alt+Left", "Copy Marker Line"})
        EXPECT_TRUE(keys.contains(line)) << line;
    EXPECT_TRUE(markerCommentsText().contains("# pathwick-1A2B3C Parse the arguments"));

    selectOnly(box(0));
    QTest::keyClick(widget, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(window->statusBar()->currentMessage(), "Marker line copied");
}

TEST_F(EditingWindowTest, ClosingTheLastDocumentShowsTheStartWindow) {
    window->document().undoManager().markSaved();
    window->close();
    const auto startWindowShown = [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(), [](QWidget* w) {
            return qobject_cast<StartWindow*>(w) && w->isVisible();
        });
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return startWindowShown(); }));
}
