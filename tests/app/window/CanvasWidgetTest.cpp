#include "app/CanvasWidget.h"
#include "app/Application.h"
#include "app/DocumentWindow.h"

#include "WindowTesting.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

// Two boxes and a label far away, so that the canvas is larger than the window.
const char* const kDocument = R"({
  "window": "{{100, 80}, {600, 450}}",
  "content": [
    {"id": "pathwick-A", "title": "Parse", "rect": "{{100, 100}, {100, 50}}", "arrows": []},
    {"id": "pathwick-B", "title": "Eval", "rect": "{{300, 100}, {100, 50}}", "arrows": []}
  ],
  "labels": [{"title": "Far away", "rect": "{{1500, 1200}, {220, 29}}"}]
})";

class CanvasWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "pathwicks-canvas-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        const fs::path file = folder / "canvas.pathwicks";
        std::ofstream(file) << kDocument;
        // Settings of their own (the recent documents, the editor last chosen), one set per
        // test, so that window tests run at the same time do not see each other's.
        previousName = QApplication::applicationName();
        QApplication::setApplicationName(
            QString("canvas_widget_tests.") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        QSettings().remove("lastSetEditor");
        // Atom is installed, so that new boxes may take it as the editor last chosen.
        fs::create_directories(folder / "bin");
        std::ofstream(folder / "bin" / "atom") << "#!/bin/sh\n";
        fs::permissions(folder / "bin" / "atom", fs::perms::owner_all);
        previousPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", ((folder / "bin").string() + ":" + previousPath).c_str(), 1);
        application = std::make_unique<Application>();
        window = application->openFile(QString::fromStdString(file.string()));
        ASSERT_TRUE(window);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        QApplication::processEvents();
        widget = &window->canvasWidget();
    }
    void TearDown() override {
        QSettings().remove("lastSetEditor");
        pathwicks::testing::closeWithoutSaving(*application);
        application.reset();
        ::setenv("PATH", previousPath.c_str(), 1);
        fs::remove_all(folder);
        QApplication::setApplicationName(previousName);
    }

    // Mouse events as the window system sends them: moves carry the buttons held. Points are
    // in the scroll area's viewport, which stays put on the screen while the canvas scrolls;
    // before any scrolling they are canvas points too.
    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QWidget* viewport = window->findChild<QScrollArea*>()->viewport();
        QMouseEvent event(type, QPointF(widget->mapFrom(viewport, at)),
                          QPointF(viewport->mapToGlobal(at)), button, held, modifiers);
        QApplication::sendEvent(widget, &event);
    }
    void dragWith(Qt::MouseButton button, std::initializer_list<QPoint> path,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool releaseAtEnd = true) {
        auto point = path.begin();
        send(QEvent::MouseButtonPress, *point, button, button, modifiers);
        for (++point; point != path.end(); ++point)
            send(QEvent::MouseMove, *point, Qt::NoButton, button, modifiers);
        if (releaseAtEnd)
            send(QEvent::MouseButtonRelease, *(path.end() - 1), button, Qt::NoButton, modifiers);
    }
    QAction* action(const QString& name) {
        for (QAction* a : window->findChildren<QAction*>())
            if (a->text().remove('&') == name)
                return a;
        return nullptr;
    }
    Canvas& canvas() { return window->canvas(); }
    Rect rectOf(size_t i) { return canvas().model().content().at(i)->rect; }

    fs::path folder;
    QString previousName;
    std::string previousPath;
    std::unique_ptr<Application> application;
    QPointer<DocumentWindow> window;
    CanvasWidget* widget = nullptr;
};

} // namespace

TEST_F(CanvasWidgetTest, DraggingABoxIsOneUndoableStepThatMarksTheDocument) {
    EXPECT_FALSE(window->isWindowModified());
    dragWith(Qt::LeftButton, {{150, 120}, {160, 130}, {203, 247}});
    EXPECT_EQ(rectOf(0), (Rect{150, 220, 100, 50}));
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_FALSE(canvas().gestureInProgress());

    ASSERT_TRUE(action("Undo"));
    action("Undo")->trigger();
    EXPECT_EQ(rectOf(0), (Rect{100, 100, 100, 50}));
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_FALSE(action("Undo")->isEnabled());
    action("Redo")->trigger();
    EXPECT_EQ(rectOf(0), (Rect{150, 220, 100, 50}));
}

TEST_F(CanvasWidgetTest, ControlDragDrawsAnArrowAndRightDragOnEmptyCanvasPans) {
    dragWith(Qt::LeftButton, {{150, 120}, {250, 120}, {350, 125}}, Qt::ControlModifier);
    ASSERT_EQ(canvas().model().arrows.size(), 1u);
    EXPECT_EQ(canvas().model().arrows[0].second->id, "pathwick-B");

    auto* area = window->findChild<QScrollArea*>();
    QScrollBar* horizontal = area->horizontalScrollBar();
    QScrollBar* vertical = area->verticalScrollBar();
    ASSERT_GT(horizontal->maximum(), 100);
    ASSERT_GT(vertical->maximum(), 100);
    // The content follows the pointer: dragging up and left shows more of the bottom right.
    dragWith(Qt::RightButton, {{500, 400}, {470, 380}, {440, 350}});
    EXPECT_EQ(horizontal->value(), 60);
    EXPECT_EQ(vertical->value(), 50);
    // The view stops at the canvas's top-left corner.
    dragWith(Qt::RightButton, {{100, 100}, {300, 300}});
    EXPECT_EQ(horizontal->value(), 0);
    EXPECT_EQ(vertical->value(), 0);
    EXPECT_EQ(canvas().model().arrows.size(), 1u);
}

TEST_F(CanvasWidgetTest, NewItemsComeFromTheAddButtonAndTheInsertMenu) {
    QSettings().setValue("lastSetEditor", "Atom");
    dragWith(Qt::LeftButton, {{15, 15}, {20, 20}, {400, 300}});
    ASSERT_EQ(canvas().model().content().size(), 3u);
    EXPECT_EQ(canvas().model().content().back()->editor, "Atom");
    EXPECT_EQ(canvas().model().content().back()->rect, (Rect{400, 300, 100, 50}));

    dragWith(Qt::LeftButton, {{15, 15}, {20, 20}, {400, 500}}, Qt::AltModifier);
    ASSERT_EQ(canvas().model().labels.size(), 2u);
    EXPECT_EQ(canvas().model().labels.back()->title(), "New Label");

    // The menu puts a new reference in the middle of what is in view.
    ASSERT_TRUE(action("Reference"));
    action("Reference")->trigger();
    ASSERT_EQ(canvas().model().content().size(), 4u);
    const Rect inserted = canvas().model().content().back()->rect;
    const QRect visible = window->findChild<QScrollArea*>()->viewport()->rect();
    EXPECT_NEAR(inserted.midX(), visible.center().x(), 10);
    EXPECT_NEAR(inserted.midY(), visible.center().y(), 10);
    EXPECT_TRUE(canvas().model().content().back()->selected);

    for (int steps = 0; steps < 3; ++steps)
        action("Undo")->trigger();
    EXPECT_EQ(canvas().model().content().size(), 2u);
    EXPECT_EQ(canvas().model().labels.size(), 1u);
}

TEST_F(CanvasWidgetTest, TheAddButtonStaysInTheCornerOfTheScrolledView) {
    auto* area = window->findChild<QScrollArea*>();
    area->horizontalScrollBar()->setValue(60);
    area->verticalScrollBar()->setValue(50);
    // Canvas (75, 65) lies under the button now: a press there adds, it draws no band.
    dragWith(Qt::LeftButton, {{15, 15}, {20, 20}, {400, 300}});
    ASSERT_EQ(canvas().model().content().size(), 3u);
    EXPECT_EQ(canvas().model().content().back()->rect, (Rect{460, 350, 100, 50}));
    // Where the button sat before scrolling is plain canvas again.
    area->horizontalScrollBar()->setValue(0);
    area->verticalScrollBar()->setValue(0);
    dragWith(Qt::LeftButton, {{75, 65}, {80, 70}, {400, 300}});
    EXPECT_EQ(canvas().model().content().size(), 3u);
}

TEST_F(CanvasWidgetTest, LosingTheFocusMidDragRecordsTheDrag) {
    dragWith(Qt::LeftButton, {{150, 120}, {250, 320}}, Qt::NoModifier, false);
    EXPECT_EQ(rectOf(0), (Rect{200, 300, 100, 50}));
    EXPECT_FALSE(action("Undo")->isEnabled());

    // Another window takes the focus; this one never sees the release.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::processEvents();
    ASSERT_FALSE(window->isActiveWindow());
    EXPECT_FALSE(canvas().gestureInProgress());
    EXPECT_TRUE(action("Undo")->isEnabled());
    // The release that arrives later changes nothing more.
    send(QEvent::MouseButtonRelease, {400, 400}, Qt::LeftButton, Qt::NoButton);
    action("Undo")->trigger();
    EXPECT_EQ(rectOf(0), (Rect{100, 100, 100, 50}));
}

TEST_F(CanvasWidgetTest, AKeyPressedMidDragEndsTheDragFirst) {
    dragWith(Qt::LeftButton, {{150, 120}, {250, 320}}, Qt::NoModifier, false);
    QTest::keyClick(widget, Qt::Key_X);
    EXPECT_FALSE(canvas().gestureInProgress());
    EXPECT_TRUE(action("Undo")->isEnabled());
    send(QEvent::MouseButtonRelease, {250, 320}, Qt::LeftButton, Qt::NoButton);
}

TEST_F(CanvasWidgetTest, OtherButtonsAndUndoWaitForTheRelease) {
    dragWith(Qt::LeftButton, {{150, 120}, {250, 320}}, Qt::NoModifier, false);
    // A right press and release while the left button is held are ignored.
    send(QEvent::MouseButtonPress, {350, 120}, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
    send(QEvent::MouseButtonRelease, {350, 120}, Qt::RightButton, Qt::LeftButton);
    EXPECT_TRUE(canvas().gestureInProgress());
    // So are undo and redo, by key or by menu.
    QTest::keyClick(widget, Qt::Key_Z, Qt::ControlModifier);
    action("Undo")->trigger();
    action("Redo")->trigger();
    EXPECT_TRUE(canvas().gestureInProgress());
    EXPECT_EQ(rectOf(0), (Rect{200, 300, 100, 50}));
    EXPECT_TRUE(canvas().model().arrows.empty());

    send(QEvent::MouseMove, {260, 330}, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, {260, 330}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(rectOf(0), (Rect{210, 310, 100, 50}));
    action("Undo")->trigger();
    EXPECT_EQ(rectOf(0), (Rect{100, 100, 100, 50}));
    EXPECT_FALSE(action("Undo")->isEnabled());
}

TEST_F(CanvasWidgetTest, EditsByMouseAreSavedAsTheDocumentFormatSays) {
    QSettings().setValue("lastSetEditor", "Atom");
    dragWith(Qt::LeftButton, {{150, 120}, {180, 140}, {155, 323}});  // move A to (100, 300)
    dragWith(Qt::RightButton, {{150, 320}, {250, 200}, {350, 125}}); // arrow A -> B
    dragWith(Qt::LeftButton, {{15, 15}, {30, 30}, {500, 225}}); // its corner follows: (500, 220)
    for (int i = 0; i < 3; ++i)
        action("Undo")->trigger();
    EXPECT_EQ(rectOf(0), (Rect{100, 100, 100, 50}));
    EXPECT_TRUE(canvas().model().arrows.empty());
    for (int i = 0; i < 3; ++i)
        action("Redo")->trigger();
    ASSERT_TRUE(window->save());
    EXPECT_FALSE(window->isWindowModified());

    std::ifstream in(folder / "canvas.pathwicks");
    const auto saved = nlohmann::json::parse(in);
    ASSERT_EQ(saved["content"].size(), 3u);
    EXPECT_EQ(saved["content"][0]["id"], "pathwick-A");
    EXPECT_EQ(saved["content"][0]["rect"], "{{100, 300}, {100, 50}}");
    EXPECT_EQ(saved["content"][0]["arrows"], nlohmann::json::array({1}));
    EXPECT_EQ(saved["content"][1]["arrows"], nlohmann::json::array());
    const auto& added = saved["content"][2];
    EXPECT_EQ(added["rect"], "{{500, 220}, {100, 50}}");
    EXPECT_EQ(added["title"], "Unnamed");
    EXPECT_EQ(added["editor"], "Atom"); // the editor last chosen, installed here
    EXPECT_EQ(added["id"].get<std::string>().size(), 45u);
    EXPECT_EQ(saved["labels"].size(), 1u);
    EXPECT_EQ(saved["window"], "{{100, 80}, {600, 450}}");
}
