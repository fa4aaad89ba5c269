#include "app/CanvasWidget.h"
#include "app/Application.h"
#include "app/DocumentWindow.h"

#include "WindowTesting.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
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

class CanvasWidgetTest : public pathwicks::testing::WindowTest {
protected:
    void SetUp() override {
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
        WindowTest::SetUp();
        window = open(file);
        ASSERT_TRUE(window);
        QApplication::processEvents();
        widget = &window->canvasWidget();
    }
    void TearDown() override {
        QSettings().remove("lastSetEditor");
        WindowTest::TearDown();
        ::setenv("PATH", previousPath.c_str(), 1);
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
    QWidget* viewport() { return window->findChild<QScrollArea*>()->viewport(); }
    // Where a document point shows in the viewport at the present zoom and scroll.
    QPoint shown(Point document) {
        const Point inWidget = widget->view().toView(document);
        return widget->mapTo(viewport(), QPointF(inWidget.x, inWidget.y).toPoint());
    }
    // The document point under a point of the viewport.
    Point under(QPoint at) {
        const QPoint inWidget = widget->mapFrom(viewport(), at);
        return widget->view().toDocument(Point{double(inWidget.x()), double(inWidget.y())});
    }
    QString statusZoom() { return window->findChild<QLabel*>("zoom")->text(); }

    QString previousName;
    std::string previousPath;
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

// Every gesture acts in document units whatever the zoom: the same document points give the
// same document at 50 % and 200 % as at 100 %.
TEST_F(CanvasWidgetTest, GesturesAtAnyZoomGiveTheSameDocument) {
    const auto gestures = [this] {
        dragWith(Qt::LeftButton, {shown({150, 120}), shown({160, 130}), shown({204, 248})});
        dragWith(Qt::LeftButton, {shown({350, 120}), shown({450, 140})}, Qt::ControlModifier);
        dragWith(Qt::LeftButton, {shown({50, 250}), shown({420, 360})});
        std::vector<Rect> rects{rectOf(0), rectOf(1)};
        const std::string result = canvas().model().encode({}).value_or("");
        const bool selected = canvas().model().content()[0]->selected;
        for (int steps = 0; steps < 2; ++steps)
            action("Undo")->trigger();
        return std::tuple{result, selected, rects};
    };
    const auto atActualSize = gestures();
    EXPECT_EQ(std::get<2>(atActualSize)[0], (Rect{150, 220, 100, 50}));
    EXPECT_TRUE(std::get<1>(atActualSize)); // the band touched the moved box
    for (double zoom : {0.5, 2.0}) {
        widget->setZoom(zoom, QPoint(0, 0));
        EXPECT_EQ(statusZoom(), zoom == 0.5 ? "50 %" : "200 %");
        EXPECT_EQ(gestures(), atActualSize) << zoom;
    }
}

TEST_F(CanvasWidgetTest, ZoomingKeepsThePointUnderThePointerAndFitShowsEverything) {
    const QPoint pointer(300, 200);
    const Point before = under(pointer);
    for (int delta : {120, 240, -480}) {
        QWheelEvent wheel(QPointF(widget->mapFrom(viewport(), pointer)),
                          QPointF(viewport()->mapToGlobal(pointer)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &wheel);
        const Point after = under(pointer);
        EXPECT_NEAR(after.x, before.x, 1 / widget->zoom());
        EXPECT_NEAR(after.y, before.y, 1 / widget->zoom());
    }
    EXPECT_LT(widget->zoom(), 1);

    // The keys of the View menu; Fit to Window shows every box and label, at most at 100 %.
    QTest::keyClick(widget, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(widget->zoom(), 1);
    QTest::keyClick(widget, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(widget->zoom(), 1.25);
    QTest::keyClick(widget, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(widget, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(widget->zoom(), 0.75);
    QTest::keyClick(widget, Qt::Key_9, Qt::ControlModifier);
    EXPECT_LT(widget->zoom(), 1);
    EXPECT_EQ(statusZoom(), QString("%1 %").arg(zoomPercent(widget->zoom())));
    const Rect visible = widget->visibleArea();
    for (const Rect& item : {rectOf(0), rectOf(1), canvas().model().labels[0]->rect}) {
        EXPECT_GE(item.minX(), visible.minX());
        EXPECT_GE(item.minY(), visible.minY());
        EXPECT_LE(item.maxX(), visible.maxX());
        EXPECT_LE(item.maxY(), visible.maxY());
    }
    // The file knows nothing of the zoom.
    EXPECT_FALSE(window->isWindowModified());
}

// A title that grows its box past the left edge leaves the box where it can be scrolled to,
// without moving what is in view.
TEST_F(CanvasWidgetTest, ABoxGrownPastTheLeftEdgeCanBeScrolledTo) {
    const Rect visible = widget->visibleArea();
    const ReferencePtr box = canvas().model().content()[0];
    canvas().setReferenceTitle(box, box->title, std::string(80, 'W'));
    ASSERT_LT(box->rect.minX(), 0);
    EXPECT_EQ(widget->visibleArea(), visible);
    window->findChild<QScrollArea*>()->horizontalScrollBar()->setValue(0);
    EXPECT_LT(under(QPoint(0, 0)).x, box->rect.minX());
    // A box made wider far out is in reach at once.
    canvas().model().labels[0]->rect.width = 4000;
    canvas().redisplay();
    EXPECT_GE(widget->view().origin.x + widget->width() / widget->zoom(), 5500);
}

TEST_F(CanvasWidgetTest, TheKeysOfTheMenusAreTheUsualOnes) {
    const std::pair<QKeySequence, QString> keys[] = {
        {QKeySequence("Ctrl+Shift+S"), "Save As…"},
        {QKeySequence("Ctrl+X"), "Cut"},
        {QKeySequence("Ctrl+C"), "Copy"},
        {QKeySequence("Ctrl+V"), "Paste"},
        {QKeySequence("Ctrl+D"), "Duplicate"},
        {QKeySequence("Ctrl+Shift+C"), "Copy Marker Line"},
        {QKeySequence("Ctrl+F"), "Find…"},
        {QKeySequence("F3"), "Find Next"},
        {QKeySequence("Shift+F3"), "Find Previous"},
        {QKeySequence("Ctrl++"), "Zoom In"},
        {QKeySequence("Ctrl+="), "Zoom In"},
        {QKeySequence("Ctrl+-"), "Zoom Out"},
        {QKeySequence("Ctrl+0"), "Actual Size"},
        {QKeySequence("Ctrl+9"), "Fit to Window"},
        {QKeySequence("F2"), "Rename"},
        {QKeySequence("Tab"), "Select Next"},
        {QKeySequence("Ctrl+L"), "Connect in Reading Order"},
        {QKeySequence("Alt+Left"), "Nudge Left"},
    };
    for (const auto& [key, name] : keys) {
        QAction* found = nullptr;
        for (QAction* a : window->findChildren<QAction*>())
            if (a->shortcuts().contains(key))
                found = a;
        ASSERT_TRUE(found) << key.toString().toStdString();
        EXPECT_EQ(found->text().remove('&'), name);
    }
}

TEST_F(CanvasWidgetTest, ItemsTravelByClipboardAndByNudgesAndFindSelects) {
    widget->setFocus();
    // Nothing selected: copying leaves the clipboard alone.
    QGuiApplication::clipboard()->setText("before");
    QTest::keyClick(widget, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");

    canvas().selectAll();
    QTest::keyClick(widget, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat("application/x-pathwicks-items"));
    EXPECT_EQ(data->text(), "Parse\nEval\nFar away\n");
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(canvas().model().content().size(), 4u);
    // Pasted where its id is held already: a new box with an id of its own.
    EXPECT_NE(canvas().model().content()[2]->id, "pathwick-A");
    EXPECT_TRUE(canvas().model().content()[2]->id.starts_with("pathwick-"));
    EXPECT_EQ(rectOf(2), (Rect{110, 110, 100, 50}));
    QTest::keyClick(widget, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(canvas().model().content().size(), 2u);

    // Alt and the arrows nudge; a run of one key is one step.
    canvas().deselectAll();
    canvas().model().content()[0]->selected = true;
    QTest::keyClick(widget, Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(widget, Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(widget, Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(rectOf(0), (Rect{102, 110, 100, 50}));
    action("Undo")->trigger();
    EXPECT_EQ(rectOf(0), (Rect{102, 100, 100, 50}));
    action("Undo")->trigger();
    EXPECT_EQ(rectOf(0), (Rect{100, 100, 100, 50}));

    // Find: typing selects the first title that holds the text; Escape closes the bar.
    QTest::keyClick(widget, Qt::Key_F, Qt::ControlModifier);
    auto* field = window->findChild<QLineEdit*>("findField");
    ASSERT_TRUE(field && field->isVisible());
    QTest::keyClicks(field, "EVA");
    EXPECT_TRUE(canvas().model().content()[1]->selected);
    EXPECT_FALSE(canvas().model().content()[0]->selected);
    field->clear();
    QTest::keyClicks(field, "a");
    EXPECT_TRUE(canvas().model().content()[0]->selected); // Parse, then Eval, then the label
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(canvas().model().content()[1]->selected);
    QTest::keyClick(field, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_TRUE(canvas().model().content()[0]->selected);
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(field->isVisible());
    // F2 with one box selected opens its title for typing in place.
    QTest::keyClick(widget, Qt::Key_F2);
    ASSERT_TRUE(QApplication::focusWidget());
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "labelEditor");
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget())->text(), "Parse");
}
