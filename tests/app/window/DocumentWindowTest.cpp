#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/DocumentWindow.h"
#include "app/NoticeBar.h"
#include "cli/FormatCommand.h"
#include "model/FileIO.h"

#include "FakeDialogs.h"
#include "WindowTesting.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

const char* const tourText = R"({
  "window": "{{100, 80}, {500, 400}}",
  "content": [
    {"id": "pathwick-A", "title": "Parse", "editor": "Xcode", "rect": "{{40, 30}, {180, 50}}", "arrows": [1]},
    {"id": "pathwick-B", "title": "Docs,https://example.org", "editor": "Safari", "rect": "{{300, 30}, {100, 50}}", "arrows": []}
  ],
  "labels": [{"title": "Far away", "rect": "{{2000, 1500}, {220, 29}}"}]
})";

std::string readText(const fs::path& path) {
    auto bytes = readFileBytes(path.string());
    return std::holds_alternative<std::string>(bytes) ? std::get<std::string>(bytes) : "<error>";
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string formatted(const fs::path& path) {
    std::ostringstream out, err;
    pathwicks::cli::runFormat({path.string()}, out, err);
    return out.str();
}

// An edit of the kind the canvas makes: it changes the model and registers its undo step.
void renameFirst(DocumentWindow& window, const std::string& title) {
    auto reference = window.document().model().content().front();
    const std::string old = reference->title;
    UndoManager& undo = window.document().undoManager();
    undo.registerUndo([&window, reference, old] { renameFirst(window, old); });
    reference->title = title;
}

class DocumentWindowTest : public pathwicks::testing::WindowTest {
protected:
    void SetUp() override {
        writeText(file, tourText);
        WindowTest::SetUp();
    }
    using WindowTest::open;
    DocumentWindow* open() { return open(file); }

    const fs::path file = folder / "tour.pathwicks";
};

} // namespace

TEST_F(DocumentWindowTest, OpeningShowsTheDocumentUnchanged) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->document().model().content().size(), 2u);
    EXPECT_EQ(window->document().model().arrows.size(), 1u);
    EXPECT_EQ(window->document().path(), fs::absolute(file).string());
    EXPECT_TRUE(window->windowTitle().contains("tour.pathwicks"));
    EXPECT_FALSE(window->isWindowModified());
    // Other test programs running at the same time note their own documents too.
    EXPECT_TRUE(application->recentFiles().contains(QString::fromStdString(fs::absolute(file).string())));

    // Opening it again brings the same window forward.
    EXPECT_EQ(open(), window);
    EXPECT_EQ(application->windows().size(), 1u);
}

TEST_F(DocumentWindowTest, TheCanvasGrowsToShowLabelsToo) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    QApplication::processEvents();
    // The far label spans x 2000 to 2220; the nearest item starts at x 40.
    EXPECT_GE(window->canvasWidget().width(), 40 + 2220);
    EXPECT_GE(window->canvasWidget().height(), 29 + 1529);
}

TEST_F(DocumentWindowTest, SavingAnUnmovedWindowWritesWhatFormatWrites) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    QApplication::processEvents();
    ASSERT_TRUE(window->save());
    EXPECT_EQ(readText(file), formatted(file));
    EXPECT_NE(readText(file).find("\"window\": \"{{100, 80}, {500, 400}}\""), std::string::npos)
        << readText(file);
}

// The offscreen platform draws a frame around every window, larger than its inside, as a
// window manager does: the frame saved is the one restored, round after round.
TEST_F(DocumentWindowTest, AFrameIsSavedAndRestoredAsTheSameThing) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    QApplication::processEvents();
    ASSERT_NE(window->frameGeometry().size(), window->geometry().size());
    ASSERT_TRUE(window->save());
    const std::string once = readText(file);
    window->resize(620, 410);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->size() == QSize(620, 410); }))
        << window->width() << "x" << window->height();
    ASSERT_TRUE(window->save());
    const std::string resized = readText(file);
    EXPECT_NE(resized.find("{{100, 80}, {620, 410}}"), std::string::npos) << resized;
    closeWindows();
    for (int round = 0; round < 5; ++round) {
        window = open();
        ASSERT_TRUE(window);
        QApplication::processEvents();
        EXPECT_EQ(window->size(), QSize(620, 410));
        renameFirst(*window, "Moved");
        window->document().undoManager().undo();
        ASSERT_TRUE(window->save());
        EXPECT_EQ(readText(file), resized) << "round " << round;
        closeWindows();
    }
    EXPECT_NE(once, resized);
}

TEST_F(DocumentWindowTest, TheUnsavedMarkFollowsUndoAndRedo) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    const auto undoAction = [&](const QString& name) {
        for (QAction* action : window->findChildren<QAction*>())
            if (action->text().remove('&') == name)
                return action;
        return static_cast<QAction*>(nullptr);
    };
    ASSERT_TRUE(undoAction("Undo"));
    EXPECT_FALSE(undoAction("Undo")->isEnabled());

    renameFirst(*window, "Renamed");
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_TRUE(undoAction("Undo")->isEnabled());
    EXPECT_FALSE(undoAction("Redo")->isEnabled());

    undoAction("Undo")->trigger();
    EXPECT_EQ(window->document().model().content().front()->title, "Parse");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_TRUE(undoAction("Redo")->isEnabled());
    undoAction("Redo")->trigger();
    EXPECT_TRUE(window->isWindowModified());
}

TEST_F(DocumentWindowTest, ClosingWithUnsavedChangesAsks) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    renameFirst(*window, "Renamed");

    dialogs.unsavedChanges = UserDialogs::UnsavedChanges::cancel;
    EXPECT_FALSE(window->close());
    EXPECT_EQ(dialogs.said, std::vector<std::string>{"save changes? tour.pathwicks"});
    EXPECT_TRUE(window->isVisible());

    dialogs.unsavedChanges = UserDialogs::UnsavedChanges::save;
    EXPECT_TRUE(window->close());
    QApplication::processEvents();
    EXPECT_NE(readText(file).find("Renamed"), std::string::npos);

    DocumentWindow* again = open();
    ASSERT_TRUE(again);
    renameFirst(*again, "Thrown away");
    dialogs.unsavedChanges = UserDialogs::UnsavedChanges::discard;
    EXPECT_TRUE(again->close());
    EXPECT_EQ(readText(file).find("Thrown away"), std::string::npos);
    EXPECT_EQ(dialogs.count("save changes?"), 3);
}

TEST_F(DocumentWindowTest, AFileThatIsNoDocumentIsRefusedAndLeftAlone) {
    writeText(file, "[1, 2, 3]");
    EXPECT_EQ(application->openFile(QString::fromStdString(file.string())), nullptr);
    ASSERT_EQ(dialogs.said.size(), 1u);
    EXPECT_TRUE(dialogs.mentions("“tour.pathwicks” could not be opened")) << dialogs.said[0];
    EXPECT_TRUE(dialogs.mentions("top level is not a JSON object")) << dialogs.said[0];
    EXPECT_TRUE(application->windows().empty() || !application->windows().front());
    EXPECT_EQ(readText(file), "[1, 2, 3]");
}

TEST_F(DocumentWindowTest, SavingOverAFileChangedElsewhereAsksFirst) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    renameFirst(*window, "Mine");
    writeText(file, "{\"theirs\": true}");
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(5));

    dialogs.saveOverChangedFile = false;
    EXPECT_FALSE(window->save());
    EXPECT_EQ(dialogs.said, std::vector<std::string>{"changed elsewhere: tour.pathwicks"});
    EXPECT_EQ(readText(file), "{\"theirs\": true}");
    EXPECT_TRUE(window->isWindowModified());
}

TEST_F(DocumentWindowTest, AFailedSaveKeepsTheDocumentOpenAndUnsaved) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    renameFirst(*window, "Mine");
    // The document's folder is replaced by a plain file: nothing can be written there.
    const fs::path moved = folder.string() + "-moved";
    fs::rename(folder, moved);
    writeText(folder, "not a folder");

    dialogs.saveOverChangedFile = true;
    EXPECT_FALSE(window->save());
    ASSERT_EQ(dialogs.said.size(), 2u);
    EXPECT_EQ(dialogs.said[0], "moved or deleted: tour.pathwicks");
    EXPECT_TRUE(dialogs.said[1].starts_with("failure: The document “tour.pathwicks” could not be "
                                            "saved."))
        << dialogs.said[1];
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(readText(folder), "not a folder");
    fs::remove(folder);
    fs::rename(moved, folder);
}

TEST_F(DocumentWindowTest, ANewDocumentAsksForItsNameOnceOnly) {
    application->newDocument();
    DocumentWindow* window = application->windows().back();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.count("save where? ") > 0; }));
    pathwicks::testing::settle();
    EXPECT_EQ(dialogs.count("save where? "), 1);
    EXPECT_TRUE(window->document().path().empty());

    window->hide();
    window->show();
    pathwicks::testing::settle();
    EXPECT_EQ(dialogs.count("save where? "), 1);
}

TEST_F(DocumentWindowTest, TheLogoStaysClearOfTheScroller) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    QApplication::processEvents();
    auto* scrollArea = window->findChild<QScrollArea*>();
    auto* logo = window->findChild<QWidget*>("logo");
    ASSERT_TRUE(scrollArea && logo);
    QScrollBar* scroller = scrollArea->verticalScrollBar();
    ASSERT_TRUE(scroller->isVisible()); // the far label makes the canvas taller than the window
    EXPECT_EQ(scrollArea->width() - logo->geometry().right() - 1, scroller->width() + 3);
}

TEST_F(DocumentWindowTest, SaveAsMovesTheDocumentAndItsReferenceFolder) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    fs::create_directory(folder / "elsewhere");
    const fs::path target = folder / "elsewhere" / "copy";
    dialogs.savePath = QString::fromStdString(target.string());
    ASSERT_TRUE(window->saveAs());
    EXPECT_EQ(dialogs.said, std::vector<std::string>{"save where? " + fs::absolute(file).string()});
    // A name without an extension gets the document extension.
    const fs::path saved = target.string() + ".pathwicks";
    EXPECT_EQ(window->document().path(), saved.string());
    EXPECT_EQ(readText(saved), formatted(saved));
    EXPECT_TRUE(window->windowTitle().startsWith("copy.pathwicks"));
}

// The extension is added after the save dialog's own check, so a file of the name written is
// asked about first; so is the first save of a new document.
TEST_F(DocumentWindowTest, SaveAsNeverReplacesAFileUnasked) {
    const fs::path victim = folder / "victim.pathwicks";
    writeText(victim, "precious");
    dialogs.savePath = QString::fromStdString((folder / "victim").string());

    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    dialogs.replace = false;
    EXPECT_FALSE(window->saveAs());
    EXPECT_TRUE(dialogs.mentions("replace? victim.pathwicks"));
    EXPECT_EQ(readText(victim), "precious");
    EXPECT_EQ(window->document().path(), fs::absolute(file).string());

    application->newDocument(); // the new window asks for its name at once
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.count("replace? victim.pathwicks") > 1; }));
    EXPECT_EQ(dialogs.count("replace? victim.pathwicks"), 2);
    EXPECT_EQ(readText(victim), "precious");

    dialogs.replace = true;
    EXPECT_TRUE(window->saveAs());
    EXPECT_EQ(readText(victim), formatted(victim));
    EXPECT_EQ(dialogs.count("replace? "), 3);
}

// Opening tells once, without waiting, what the next save will leave out; a read-only file is
// not saved over, and Save As is offered instead.
TEST_F(DocumentWindowTest, SavesThatWouldLoseSomethingAreToldOrAsked) {
    writeText(file, R"({"window": "{{100, 80}, {500, 400}}", "notes": "by hand",
        "content": [{"id": "pathwick-A", "rect": "{{0, 0}, {80, 30}}", "arrows": ["1"]}]})");
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.count("notice: ") > 0; }));
    pathwicks::testing::settle();
    ASSERT_EQ(dialogs.count("notice: "), 1);
    EXPECT_TRUE(dialogs.mentions("“tour.pathwicks” will leave out")) << dialogs.said[0];
    EXPECT_TRUE(dialogs.mentions("\"notes\"")) << dialogs.said[0];
    EXPECT_TRUE(dialogs.mentions("the arrows of 1 box")) << dialogs.said[0];
    pathwicks::testing::closeWithoutSaving(*application);

    writeText(file, tourText);
    ::chmod(file.c_str(), 0444);
    dialogs.said.clear();
    window = open();
    ASSERT_TRUE(window);
    renameFirst(*window, "Mine");
    dialogs.saveReadOnlyElsewhere = false;
    EXPECT_FALSE(window->save());
    EXPECT_EQ(dialogs.said, std::vector<std::string>{"read-only: tour.pathwicks"});
    EXPECT_EQ(readText(file), tourText);

    dialogs.saveReadOnlyElsewhere = true;
    dialogs.savePath = QString::fromStdString((folder / "mine.pathwicks").string());
    EXPECT_TRUE(window->save());
    EXPECT_EQ(readText(file), tourText);
    EXPECT_NE(readText(folder / "mine.pathwicks").find("Mine"), std::string::npos);
    EXPECT_FALSE(window->isWindowModified());
}

// A folder named with a byte that is not UTF-8 opens and saves as it does on the command line;
// a file claiming a terabyte is refused without taking the other windows with it.
TEST_F(DocumentWindowTest, OddPathsAndHugeFilesOpenOrAreRefused) {
    const fs::path odd = folder / "caf\xff";
    fs::create_directory(odd);
    const std::string path = (odd / "walk.pathwicks").string();
    writeText(path, tourText);
    ASSERT_TRUE(application->openFiles({path}));
    DocumentWindow* window = application->windows().back();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->document().path(), path);
    renameFirst(*window, "Kept");
    EXPECT_TRUE(window->save());
    EXPECT_NE(readText(path).find("Kept"), std::string::npos);
    EXPECT_TRUE(dialogs.said.empty()) << dialogs.said.front();

    const fs::path huge = folder / "huge.pathwicks";
    writeText(huge, "");
    fs::resize_file(huge, uint64_t(1) << 40);
    EXPECT_EQ(application->openFile(QString::fromStdString(huge.string())), nullptr);
    EXPECT_TRUE(dialogs.mentions("“huge.pathwicks” could not be opened"));
    EXPECT_TRUE(dialogs.mentions("larger than 512 MB")) << dialogs.said.back();
    EXPECT_TRUE(window->isVisible());
}

namespace {

std::string firstTitle(DocumentWindow& window) {
    return window.document().model().content().front()->title;
}

std::string withFirstTitle(const std::string& title) {
    std::string text = tourText;
    text.replace(text.find("\"Parse\""), 7, "\"" + title + "\"");
    return text;
}

} // namespace

// Another program's change of the document: reloaded with a notice when nothing here is
// unsaved (Undo brings back the earlier state), asked about when something is; File › Revert
// goes back to the file after asking.
TEST_F(DocumentWindowTest, AChangeOnDiskReloadsOrAsksAndRevertGoesBackToTheFile) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    writeText(file, withFirstTitle("From elsewhere"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return firstTitle(*window) == "From elsewhere"; })) << firstTitle(*window);
    EXPECT_TRUE(window->view().notice().text().contains("reloaded"));
    EXPECT_FALSE(window->isWindowModified());
    window->document().undoManager().undo();
    EXPECT_EQ(firstTitle(*window), "Parse");

    renameFirst(*window, "Mine");
    writeText(file, withFirstTitle("Theirs"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.count("reload? tour.pathwicks") == 1; }));
    EXPECT_EQ(firstTitle(*window), "Mine"); // Keep Mine
    window->followDiskChange();
    EXPECT_EQ(dialogs.count("reload? "), 1L); // not asked again about the same change

    dialogs.confirmed = true;
    window->revert();
    EXPECT_TRUE(dialogs.mentions("Revert “tour.pathwicks”"));
    EXPECT_EQ(firstTitle(*window), "Theirs");
    EXPECT_FALSE(window->isWindowModified());
}

// The windows share one watch of the files: a window that closes takes its files out of it and
// leaves the others' in; a file that another program replaces is followed on after the reload.
TEST_F(DocumentWindowTest, AWindowFollowsItsFileAfterAnotherInTheFolderCloses) {
    const fs::path other = folder / "other.pathwicks";
    writeText(other, tourText);
    QPointer<DocumentWindow> first = open();
    DocumentWindow* second = open(other);
    ASSERT_TRUE(first && second);
    first->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !first; }));

    const fs::path replacement = folder / "other.pathwicks.new";
    writeText(replacement, withFirstTitle("Replaced"));
    fs::rename(replacement, other);
    ASSERT_TRUE(QTest::qWaitFor([&] { return firstTitle(*second) == "Replaced"; })) << firstTitle(*second);
    writeText(other, withFirstTitle("Written over"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return firstTitle(*second) == "Written over"; })) << firstTitle(*second);
}
