// The whole loop a user runs, on the real widgets offscreen: the panel, the label editor, the
// keyboard, and opening references through the goto tools with a fake editor first on PATH.
#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/DetailPanelWidget.h"
#include "app/DocumentWindow.h"
#include "app/EditorMenu.h"
#include "app/NoticeBar.h"
#include "app/QtLaunchHost.h"
#include "editors/EditorCatalogue.h"
#include "model/Bundle.h"
#include "model/Document.h"
#include "model/UndoManager.h"

#include "FakeDialogs.h"
#include "WindowTesting.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

const char* const documentText = R"({
  "window": "{{100, 80}, {900, 500}}",
  "content": [
    {"id": "pathwick-5EED", "title": "Parse", "editor": "VS Code",
     "rect": "{{100, 100}, {100, 50}}", "arrows": [1]},
    {"id": "pathwick-B0B", "title": "Docs,https://example.org/guide", "editor": "Safari",
     "rect": "{{300, 100}, {100, 50}}", "arrows": []},
    {"id": "pathwick-0DD", "title": "Odd", "editor": "My Editor",
     "rect": "{{100, 250}, {100, 50}}", "arrows": []}
  ],
  "labels": [{"title": "Overview", "rect": "{{300, 250}, {160, 30}}"}]
})";

std::string readText(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DetailPanelWindowTest : public pathwicks::testing::WindowTest {
protected:
    void SetUp() override {
        fs::create_directories(folder / "src");
        fs::create_directories(folder / "bin");
        source = folder / "src" / "parse.cpp";
        std::ofstream(source) << "#include <string>\n\n// pathwick-5EED Parse\nint parse();\n";
        std::ofstream(folder / "walk.pathwicks") << documentText;

        // The fake editor launcher writes its arguments, one a line, then renames the file into
        // place, so that a reader never sees half of them.
        record = folder / "arguments.txt";
        const fs::path code = folder / "bin" / "code";
        std::ofstream(code) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << record.string()
                            << ".part' && mv '" << record.string() << ".part' '" << record.string()
                            << "'\n";
        fs::permissions(code, fs::perms::owner_all);
        previousPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", ((folder / "bin").string() + ":" + previousPath).c_str(), 1);
        // The user's editors file of this test, not of whoever runs it.
        fs::create_directories(folder / "config" / "pathwicks");
        std::ofstream(folder / "config" / "pathwicks" / "editors.json")
            << R"({"editors": [{"name": "Code Reuse", "command": ["code", "-r", "{file}"]}]})";
        ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);

        previousName = QApplication::applicationName();
        QApplication::setApplicationName("detail_panel_tests");
        forgetChoices();
        WindowTest::SetUp();
        window = open(folder / "walk.pathwicks");
        ASSERT_TRUE(window);
        QApplication::processEvents();
        widget = &window->canvasWidget();
    }
    // The editor and the comment styles chosen in an earlier test.
    static void forgetChoices() {
        QSettings settings;
        for (const QString& key : settings.allKeys())
            if (key == "lastSetEditor" || key.startsWith("markerStyle"))
                settings.remove(key);
    }
    void TearDown() override {
        forgetChoices();
        WindowTest::TearDown();
        ::setenv("PATH", previousPath.c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
        QApplication::setApplicationName(previousName);
    }

    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held,
                          modifiers);
        QApplication::sendEvent(widget, &event);
    }
    void click(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, modifiers);
        send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, modifiers);
        QApplication::processEvents();
    }
    void doubleClick(QPoint at) {
        click(at);
        send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
    }
    // What the fake editor was started with, once it has run.
    std::vector<std::string> recordedArguments() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(record); }, 10000));
        std::vector<std::string> lines;
        std::istringstream in(readText(record));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        fs::remove(record);
        return lines;
    }
    QAction* action(const QString& name) {
        for (QAction* a : window->findChildren<QAction*>())
            if (a->text().remove('&') == name)
                return a;
        return nullptr;
    }
    // The line above the canvas, once every goto tool started has exited.
    QString noticeAfterTools() {
        auto* host = window->findChild<QtLaunchHost*>("launchHost");
        EXPECT_TRUE(QTest::qWaitFor([&] { return host->runningTools() == 0; }, 10000));
        QApplication::processEvents();
        return window->findChild<NoticeBar*>("noticeBar")->text();
    }
    // The editors the pop-up offers, by name.
    static std::vector<std::string> popupEditors(const QComboBox& popup) {
        std::vector<std::string> items;
        for (int i = 0; i < popup.count(); ++i)
            if (!popup.itemData(i).toString().isEmpty()) // not the separator before the user's
                items.push_back(popup.itemData(i).toString().toStdString());
        return items;
    }
    static std::vector<std::string> catalogueThenUserEditors() {
        std::vector<std::string> names;
        for (const Editor& e : editorCatalogue())
            names.emplace_back(e.name);
        names.push_back("Code Reuse");
        return names;
    }
    template <class T> T* child(const char* name) { return window->findChild<T*>(name); }
    Canvas& canvas() { return window->canvas(); }
    ReferencePtr reference(size_t i) { return canvas().model().content().at(i); }

    fs::path source, record;
    std::string previousPath;
    QString previousName;
    QPointer<DocumentWindow> window;
    CanvasWidget* widget = nullptr;
};

} // namespace

TEST_F(DetailPanelWindowTest, DoubleClickOpensTheMarkedLineInTheReferencesEditor) {
    doubleClick({150, 120});
    const std::string file = fs::canonical(source).string();
    EXPECT_EQ(recordedArguments(), (std::vector<std::string>{"--goto", file + ":3:1"}));
    EXPECT_TRUE(dialogs.said.empty());
    EXPECT_EQ(noticeAfterTools(), "");
    // The tool has been waited for: no exited child is left for this program to reap.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(DetailPanelWindowTest, CopyPasteIntoTheSourceThenDoubleClickLandsOnThatLine) {
    // A new box, named and given its editor in the panel. It starts with the first installed of
    // the common editors: the web link last chosen is no editor for a new box.
    QSettings().setValue("lastSetEditor", "Safari");
    action("Reference")->trigger();
    const ReferencePtr added = canvas().model().content().back();
    EXPECT_EQ(added->editor, "VS Code");
    ASSERT_TRUE(added->selected);
    auto* name = child<QLineEdit>("nameField");
    ASSERT_TRUE(name->isVisible());
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, "Evaluate");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(added->title, "Evaluate");
    auto* editor = child<QComboBox>("editorPopup");
    const int vsCode = editor->findData("VS Code");
    editor->setCurrentIndex(vsCode);
    emit editor->activated(vsCode);
    EXPECT_EQ(added->editor, "VS Code");

    auto* copy = child<QToolButton>("copyButton");
    ASSERT_TRUE(copy->isVisible());
    QTest::mouseClick(copy, Qt::LeftButton);
    const std::string line = QGuiApplication::clipboard()->text().toStdString();
    EXPECT_EQ(line, "// " + added->id + " Evaluate\n");
    std::ofstream(source, std::ios::app) << "\nint evaluate();\n    " << line;

    const QPoint centre(int(added->rect.midX()), int(added->rect.midY()));
    click({700, 450}); // elsewhere first, so the double-click is the box's own
    doubleClick(centre);
    const std::string file = fs::canonical(source).string();
    EXPECT_EQ(recordedArguments(), (std::vector<std::string>{"--goto", file + ":7:1"}));
}

// Web addresses go to xdg-open, here a script first on PATH; what it cannot open is told with
// its words, as is every address that is not http or https.
TEST_F(DetailPanelWindowTest, WebReferencesOpenHttpAddressesAndExplainTheRest) {
    const fs::path opener = folder / "bin" / "xdg-open";
    const auto fakeOpener = [&](const std::string& last) {
        std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << record.string()
                              << ".part' && mv '" << record.string() << ".part' '"
                              << record.string() << "'\n" << last << "\n";
        fs::permissions(opener, fs::perms::owner_all);
    };
    fakeOpener("exit 0");
    doubleClick({350, 120});
    EXPECT_EQ(recordedArguments(), std::vector<std::string>{"https://example.org/guide"});
    EXPECT_EQ(noticeAfterTools(), "");

    fakeOpener("echo \"xdg-open: no method available for opening '$1'\" >&2; exit 3");
    click({700, 450});
    doubleClick({350, 120});
    EXPECT_EQ(recordedArguments(), std::vector<std::string>{"https://example.org/guide"});
    auto* notice = window->findChild<NoticeBar*>("noticeBar");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !notice->text().isEmpty(); }, 10000));
    EXPECT_EQ(notice->text(), "“Docs” could not be opened: xdg-open ended with status 3: "
                              "xdg-open: no method available for opening "
                              "'https://example.org/guide'.");

    reference(1)->title = "Run,file:///usr/bin/xterm";
    click({700, 450});
    doubleClick({350, 120});
    EXPECT_FALSE(fs::exists(record));
    EXPECT_TRUE(dialogs.said.empty());
    EXPECT_TRUE(noticeAfterTools().contains("http://")) << noticeAfterTools().toStdString();
}

// A notice floats over the canvas's top edge: the canvas stays where it is on screen, so a
// second double-click lands where the first did.
TEST_F(DetailPanelWindowTest, ANoticeNeverMovesTheCanvas) {
    const QPoint before = widget->mapToGlobal(QPoint(0, 0));
    doubleClick({150, 270});
    auto* notice = window->findChild<NoticeBar*>("noticeBar");
    ASSERT_TRUE(QTest::qWaitFor([&] { return notice->isVisible(); }, 10000));
    EXPECT_EQ(widget->mapToGlobal(QPoint(0, 0)), before);
    auto* area = window->findChild<QScrollArea*>();
    EXPECT_EQ(notice->parentWidget(), area);
    EXPECT_EQ(notice->geometry().top(), area->viewport()->geometry().top());
    EXPECT_GT(notice->height(), 0);
    click({700, 450});
    doubleClick({150, 270});
    EXPECT_TRUE(reference(2)->selected);
    notice->hide();
    QApplication::processEvents();
    EXPECT_EQ(widget->mapToGlobal(QPoint(0, 0)), before);
}

TEST_F(DetailPanelWindowTest, AnEditorWithoutAToolIsExplained) {
    doubleClick({150, 270});
    EXPECT_TRUE(dialogs.said.empty());
    EXPECT_TRUE(noticeAfterTools().contains("myeditor-goto")) << noticeAfterTools().toStdString();
}

// Each way a goto tool can fail, played by a script in the tool's place: the window goes on at
// once, and when the tool exits its words show above the canvas with what to do.
TEST_F(DetailPanelWindowTest, WhenOpeningFailsTheWindowSaysWhyWithoutStopping) {
    const std::string key = "faketool" + std::to_string(::getpid());
    const fs::path tool = fs::path(resourcesPath()) / (key + "-goto");
    struct Case {
        std::string script;
        QString shown; // "": no notice
    };
    const std::vector<Case> cases{
        {"sleep 1; echo \"$0: no line marked // $2 under $1\" >&2; exit 1",
         "no line marked // pathwick-0DD under " + QString::fromStdString(folder.string()) +
             ". Copy its marker line into the code, or attach the box to another marker."},
        {"echo \"$0: Kate is not installed\" >&2; exit 3",
         "“Odd” could not be opened: Kate is not installed. Choose another editor in the panel"},
        {"echo \"$0: /usr/bin/kate: Permission denied\" >&2; exit 3",
         "/usr/bin/kate: Permission denied. Choose another editor"},
        {"echo \"$0: not a readable folder: $1: gone\" >&2; exit 2", ": gone. Check that"},
        {"kill -9 $$", "its goto tool stopped unexpectedly"},
        {"echo /src/odd.c:4 >&2; exit 0",
         "“Odd”: /src/odd.c opened at its start: the marker is on line 4."},
        {"exit 0", ""},
    };
    reference(2)->editor = "Fake Tool " + std::to_string(::getpid());
    for (const auto& c : cases) {
        std::ofstream(tool) << "#!/bin/sh\n" << c.script << "\n";
        fs::permissions(tool, fs::perms::owner_all);
        click({700, 450});
        doubleClick({150, 270});
        if (&c == &cases.front()) { // the tool is still running, and the window is not waiting
            EXPECT_EQ(window->findChild<NoticeBar*>("noticeBar")->text(), "");
        }
        const QString notice = noticeAfterTools();
        if (c.shown.isEmpty())
            EXPECT_EQ(notice, "") << c.script;
        else
            EXPECT_TRUE(notice.contains(c.shown)) << c.script << "\n" << notice.toStdString();
    }
    EXPECT_TRUE(dialogs.said.empty());

    // An editor that is not installed here: the reader's own opens the box instead, and says so.
    std::ofstream(folder / "src" / "odd.c") << "// pathwick-0DD\n";
    QSettings().setValue("myEditor", QString::fromStdString(reference(2)->editor));
    reference(2)->editor = "TextMate";
    click({700, 450});
    doubleClick({150, 270});
    EXPECT_EQ(noticeAfterTools().toStdString(),
              "TextMate is not installed here; opened in Fake Tool " + std::to_string(::getpid()) +
                  ". Choose your editor in Preferences.");
    EXPECT_EQ(reference(2)->editor, "TextMate");
    QSettings().remove("myEditor");
    fs::remove(tool);
    // The notice can be closed.
    QTest::mouseClick(window->findChild<QToolButton*>("noticeClose"), Qt::LeftButton);
    EXPECT_EQ(window->findChild<NoticeBar*>("noticeBar")->text(), "");
}

TEST_F(DetailPanelWindowTest, ABrokenEditorsFileIsNamedAndTheCatalogueStays) {
    std::ofstream(folder / "config" / "pathwicks" / "editors.json") << R"({"editors": [{}]})";
    std::ofstream(folder / "other.pathwicks") << documentText;
    QPointer<DocumentWindow> other =
        application->openFile(QString::fromStdString((folder / "other.pathwicks").string()));
    ASSERT_TRUE(other);
    const QString notice = other->findChild<NoticeBar*>("noticeBar")->text();
    EXPECT_TRUE(notice.contains("editors.json: editor 1 has no \"name\" text"))
        << notice.toStdString();
    // The panel's fields are made when a box is first shown.
    other->document().model().content().at(0)->selected = true;
    other->view().panel().updateDetailPanel();
    auto* editor = other->findChild<QComboBox*>("editorPopup");
    EXPECT_EQ(editor->findData("Code Reuse"), -1);
    EXPECT_EQ(editor->itemText(editor->findData("VS Code")), "VS Code");
    EXPECT_TRUE(dialogs.said.empty());

    // Named once: opening a box of the catalogue's says nothing of the file.
    other->view().notice().hide();
    other->view().presentReference(other->document().model().content().at(0), true);
    EXPECT_EQ(recordedArguments().front(), "--goto");
    auto* host = other->findChild<QtLaunchHost*>("launchHost");
    EXPECT_TRUE(QTest::qWaitFor([&] { return host->runningTools() == 0; }, 10000));
    QApplication::processEvents();
    EXPECT_EQ(other->view().notice().text(), "");

    // Mended, the file is read again as the window comes back: its editors are offered.
    std::ofstream(folder / "config" / "pathwicks" / "editors.json")
        << R"({"editors": [{"name": "Mended", "command": ["code", "{file}"]}]})";
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    other->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other));
    EXPECT_TRUE(QTest::qWaitFor([&] { return editor->findData("Mended") >= 0; }));
    EXPECT_EQ(other->view().notice().text(), "");
    const auto entries = other->findChildren<EditorMenu*>().front()->actions();
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(),
                            [](QAction* a) { return a->data().toString() == "Mended"; }));
}

TEST_F(DetailPanelWindowTest, PanelFollowsTheSelectionAndNameEditsAreOneUndoStep) {
    const auto shown = [this](const char* name) {
        const auto* field = child<QWidget>(name);
        return field && field->isVisible();
    };
    EXPECT_FALSE(shown("markerText") || shown("nameField") || shown("editorPopup") ||
                 shown("copyButton"));

    click({150, 120});
    auto* marker = child<QPlainTextEdit>("markerText");
    auto* name = child<QLineEdit>("nameField");
    auto* editor = child<QComboBox>("editorPopup");
    auto* copy = child<QToolButton>("copyButton");
    // The catalogue, then the user's own editors; those not installed say so and can be chosen.
    EXPECT_EQ(popupEditors(*editor), catalogueThenUserEditors());
    EXPECT_EQ(editor->itemText(editor->findData("VS Code")), "VS Code");
    EXPECT_EQ(editor->itemText(editor->findData("Code Reuse")), "Code Reuse");
    EXPECT_EQ(editor->itemText(editor->findData("TextMate")), "TextMate (not installed)");
    EXPECT_EQ(marker->toPlainText(), "// pathwick-5EED Parse");
    EXPECT_TRUE(name->isVisible() && editor->isVisible() && copy->isVisible());
    EXPECT_EQ(name->text(), "Parse");
    EXPECT_EQ(editor->currentText(), "VS Code");

    click({350, 120}, Qt::ShiftModifier);
    EXPECT_EQ(marker->toPlainText(), "");
    EXPECT_FALSE(name->isVisible() || editor->isVisible() || copy->isVisible());
    click({350, 120});
    EXPECT_EQ(marker->toPlainText(), "Format: <Title>,<URL>");
    EXPECT_FALSE(copy->isVisible());

    click({150, 120});
    name->setFocus();
    name->end(false);
    QTest::keyClicks(name, "rs");
    EXPECT_EQ(reference(0)->title, "Parsers"); // live
    widget->setFocus();                        // leaving the field ends the edit
    QApplication::processEvents();
    action("Undo")->trigger();
    EXPECT_EQ(reference(0)->title, "Parse");
    EXPECT_EQ(name->text(), "Parse");

    // The choice is kept in the settings, where a restarted program finds it.
    const int webStorm = editor->findData("WebStorm");
    editor->setCurrentIndex(webStorm);
    emit editor->activated(webStorm);
    EXPECT_EQ(reference(0)->editor, "WebStorm");
    EXPECT_EQ(QSettings().value("lastSetEditor").toString(), "WebStorm");
    action("Undo")->trigger();
    EXPECT_EQ(reference(0)->editor, "VS Code");

    // The Editor menu does the same from the keyboard, editors not installed under More Editors.
    QAction* webStormEntry = action("WebStorm");
    ASSERT_TRUE(webStormEntry);
    window->findChild<EditorMenu*>()->updateEntries();
    EXPECT_TRUE(webStormEntry->isEnabled());
    webStormEntry->trigger();
    EXPECT_EQ(reference(0)->editor, "WebStorm");
    ASSERT_TRUE(action("Code Reuse"));
    action("Code Reuse")->trigger();
    EXPECT_EQ(reference(0)->editor, "Code Reuse");
    EXPECT_EQ(editor->currentText(), "Code Reuse");
}

TEST_F(DetailPanelWindowTest, AltClickOnCopyAttachesTheBoxToTheMarkerOnTheClipboard) {
    QGuiApplication::clipboard()->setText("// pathwick-CAFE Tokens  and  spaces\n");
    click({150, 120});
    const Rect before = reference(0)->rect;
    QTest::mouseClick(child<QToolButton>("copyButton"), Qt::LeftButton, Qt::AltModifier);
    EXPECT_EQ(reference(0)->id, "pathwick-CAFE");
    EXPECT_EQ(reference(0)->title, "Tokens  and  spaces");
    EXPECT_EQ(reference(0)->rect, before);
    EXPECT_EQ(child<QPlainTextEdit>("markerText")->toPlainText(),
              "// pathwick-CAFE Tokens  and  spaces");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "// pathwick-CAFE Tokens  and  spaces\n");
    action("Undo")->trigger();
    EXPECT_EQ(reference(0)->id, "pathwick-5EED");

    // The same from the Edit menu, for desktops that keep Alt-click to themselves.
    action("Attach to Marker Line on Clipboard")->trigger();
    EXPECT_EQ(reference(0)->id, "pathwick-CAFE");
    // A plain click only copies.
    QGuiApplication::clipboard()->setText("// pathwick-F00D Other\n");
    QTest::mouseClick(child<QToolButton>("copyButton"), Qt::LeftButton);
    EXPECT_EQ(reference(0)->id, "pathwick-CAFE");
}

TEST_F(DetailPanelWindowTest, TheStyleChooserSetsWhatIsShownAndCopied) {
    const auto* hidden = child<QComboBox>("markerStyle");
    EXPECT_FALSE(hidden && hidden->isVisible());
    click({150, 120});
    auto* style = child<QComboBox>("markerStyle");
    ASSERT_TRUE(style && style->isVisible());
    EXPECT_EQ(style->currentText(), "//");
    const int hash = style->findText("#");
    ASSERT_GE(hash, 0);
    style->setCurrentIndex(hash);
    emit style->activated(hash);
    EXPECT_EQ(child<QPlainTextEdit>("markerText")->toPlainText(), "# pathwick-5EED Parse");
    EXPECT_EQ(QSettings().value("markerStyle").toString(), "#");
    action("Copy Marker Line")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "# pathwick-5EED Parse\n");

    // Nothing to attach to: the user is told, and the clipboard keeps its text.
    QGuiApplication::clipboard()->setText("just some words");
    action("Attach to Marker Line on Clipboard")->trigger();
    EXPECT_EQ(dialogs.count("told: "), 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "just some words");
    EXPECT_EQ(reference(0)->id, "pathwick-5EED");
    QSettings().remove("markerStyle");
}

TEST_F(DetailPanelWindowTest, LabelsAreEditedInPlaceAndUndoTakesTheTypingBack) {
    const LabelPtr label = canvas().model().labels.at(0);
    doubleClick({380, 265});
    auto* field = child<QLineEdit>("labelEditor");
    ASSERT_TRUE(field->isVisible());
    EXPECT_EQ(field->geometry(), QRect(300, 250, 160, 30));
    EXPECT_EQ(field->text(), "Overview");
    EXPECT_EQ(field->font(), application->measurer().font(TextStyle::label));
    QTest::keyClicks(field, "The long overview");
    EXPECT_EQ(label->title(), "The long overview");
    EXPECT_EQ(field->geometry().width(), int(label->rect.width)); // grows with the label
    QTest::keyClick(field, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(field->isVisible());
    action("Undo")->trigger();
    EXPECT_EQ(label->title(), "Overview");

    // Undo while typing: the typing is committed and taken back, the field goes first.
    click({700, 450});
    doubleClick({380, 265});
    ASSERT_TRUE(field->isVisible());
    QTest::keyClicks(field, "Gone");
    action("Undo")->trigger();
    EXPECT_FALSE(field->isVisible());
    EXPECT_EQ(label->title(), "Overview");

    // Emptied and closed by a press elsewhere: the label goes, and undo brings it back.
    click({700, 450});
    doubleClick({380, 265});
    field->clear();
    click({700, 450});
    QApplication::processEvents();
    EXPECT_TRUE(canvas().model().labels.empty());
    action("Undo")->trigger();
    ASSERT_EQ(canvas().model().labels.size(), 1u);
    EXPECT_EQ(label->title(), "Overview");
}

TEST_F(DetailPanelWindowTest, KeysDeleteTheSelectionSelectAllAndArrowsOnlyPrint) {
    click({150, 120});
    widget->setFocus();
    ::testing::internal::CaptureStdout();
    QTest::keyClick(widget, Qt::Key_Left);
    QTest::keyClick(widget, Qt::Key_Up);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Left\nUp\n");
    EXPECT_EQ(reference(0)->rect, (Rect{100, 100, 100, 50}));

    QTest::keyClick(widget, Qt::Key_Backspace);
    EXPECT_EQ(canvas().model().content().size(), 2u);
    EXPECT_TRUE(canvas().model().arrows.empty());
    EXPECT_FALSE(child<QLineEdit>("nameField")->isVisible());
    action("Undo")->trigger();
    EXPECT_EQ(canvas().model().content().size(), 3u);
    EXPECT_EQ(canvas().model().arrows.size(), 1u);

    ASSERT_TRUE(action("Select All")->isEnabled());
    action("Select All")->trigger();
    QTest::keyClick(widget, Qt::Key_Delete);
    EXPECT_TRUE(canvas().model().content().empty());
    // Labels are selected and deleted with the boxes, and come back with them.
    EXPECT_TRUE(canvas().model().labels.empty());
    action("Undo")->trigger();
    EXPECT_EQ(canvas().model().content().size(), 3u);
    EXPECT_EQ(canvas().model().labels.size(), 1u);
}

// Typing a note is one undo step once the field is left; the box's tooltip shows its title,
// its note and its place, every character as written.
TEST_F(DetailPanelWindowTest, TheNoteFieldIsOneUndoStepAndTheTooltipShowsTheNote) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    click({150, 120});
    auto* note = child<QPlainTextEdit>("noteField");
    ASSERT_TRUE(note->isVisible());
    note->setFocus();
    QTest::keyClicks(note, "Mind <b>");
    QTest::keyClick(note, Qt::Key_Return);
    QTest::keyClicks(note, "this");
    EXPECT_EQ(reference(0)->note, "Mind <b>\nthis");
    UndoManager& undo = window->document().undoManager();
    EXPECT_FALSE(undo.canUndo());
    widget->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return undo.canUndo(); }, 2000));

    QHelpEvent help(QEvent::ToolTip, QPoint(150, 120), widget->mapToGlobal(QPoint(150, 120)));
    QApplication::sendEvent(widget, &help);
    EXPECT_TRUE(QToolTip::text().contains("Mind &lt;b&gt;\nthis")) << QToolTip::text().toStdString();
    EXPECT_TRUE(QToolTip::text().contains(">Parse<")) << QToolTip::text().toStdString();
    QToolTip::hideText();
    undo.undo();
    EXPECT_EQ(note->toPlainText(), "");
}
