#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/DocumentWindow.h"
#include "app/cli/FormatCommand.h"
#include "model/FileIO.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

const char* const kTour = R"({
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

// Answers the next modal dialog once it is up; records its text.
class DialogAnswer {
public:
    explicit DialogAnswer(std::function<void(QWidget*)> answer) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this, answer] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                timer_.stop();
                if (auto* box = qobject_cast<QMessageBox*>(dialog))
                    text = (box->text() + "\n" + box->informativeText()).toStdString();
                ++seen;
                answer(dialog);
            }
        });
        timer_.start();
    }
    std::string text;
    int seen = 0;

private:
    QTimer timer_;
};

std::function<void(QWidget*)> pressButton(QMessageBox::StandardButton which) {
    return [which](QWidget* dialog) { qobject_cast<QMessageBox*>(dialog)->button(which)->click(); };
}

std::function<void(QWidget*)> pressButtonNamed(const QString& name) {
    return [name](QWidget* dialog) {
        for (QAbstractButton* button : qobject_cast<QMessageBox*>(dialog)->buttons())
            if (button->text() == name)
                button->click();
    };
}

// An edit of the kind the canvas makes: it changes the model and registers its undo step.
void renameFirst(DocumentWindow& window, const std::string& title) {
    auto reference = window.canvas().model().content().front();
    const std::string old = reference->title;
    UndoManager& undo = window.undoManager();
    undo.registerUndo([&window, reference, old] { renameFirst(window, old); });
    reference->title = title;
}

class DocumentWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "pathwicks-window-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        file = folder / "tour.pathwicks";
        writeText(file, kTour);
        application = std::make_unique<Application>();
    }
    void TearDown() override {
        for (const auto& window : application->windows()) {
            if (window) {
                window->undoManager().markSaved();
                window->close();
            }
        }
        QApplication::processEvents();
        application.reset();
        fs::remove_all(folder);
    }
    DocumentWindow* open() {
        DocumentWindow* window = application->openFile(QString::fromStdString(file.string()));
        if (window) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        }
        return window;
    }

    fs::path folder;
    fs::path file;
    std::unique_ptr<Application> application;
};

} // namespace

TEST_F(DocumentWindowTest, OpeningShowsTheDocumentUnchanged) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->canvas().model().content().size(), 2u);
    EXPECT_EQ(window->canvas().model().arrows.size(), 1u);
    ASSERT_TRUE(window->filepath());
    EXPECT_EQ(window->filepath()->toStdString(), fs::absolute(file).string());
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
    EXPECT_EQ(window->canvas().model().content().front()->title, "Parse");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_TRUE(undoAction("Redo")->isEnabled());
    undoAction("Redo")->trigger();
    EXPECT_TRUE(window->isWindowModified());
}

TEST_F(DocumentWindowTest, ClosingWithUnsavedChangesAsks) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    const std::string before = readText(file);
    renameFirst(*window, "Renamed");

    {
        DialogAnswer cancel(pressButton(QMessageBox::Cancel));
        EXPECT_FALSE(window->close());
        EXPECT_EQ(cancel.seen, 1);
        EXPECT_NE(cancel.text.find("save the changes"), std::string::npos);
    }
    EXPECT_TRUE(window->isVisible());
    {
        DialogAnswer save(pressButton(QMessageBox::Save));
        QPointer<DocumentWindow> watch = window;
        EXPECT_TRUE(window->close());
        QApplication::processEvents();
        EXPECT_NE(readText(file).find("Renamed"), std::string::npos);
    }

    DocumentWindow* again = open();
    ASSERT_TRUE(again);
    renameFirst(*again, "Thrown away");
    DialogAnswer dontSave(pressButtonNamed("Don’t Save"));
    EXPECT_TRUE(again->close());
    EXPECT_EQ(readText(file).find("Thrown away"), std::string::npos);
    (void)before;
}

TEST_F(DocumentWindowTest, AFileThatIsNoDocumentIsRefusedAndLeftAlone) {
    writeText(file, "[1, 2, 3]");
    DialogAnswer ok(pressButton(QMessageBox::Ok));
    EXPECT_EQ(application->openFile(QString::fromStdString(file.string())), nullptr);
    EXPECT_EQ(ok.seen, 1);
    EXPECT_NE(ok.text.find("tour.pathwicks"), std::string::npos);
    EXPECT_NE(ok.text.find("top level is not a JSON object"), std::string::npos);
    EXPECT_TRUE(application->windows().empty() || !application->windows().front());
    EXPECT_EQ(readText(file), "[1, 2, 3]");
}

TEST_F(DocumentWindowTest, SavingOverAFileChangedElsewhereAsksFirst) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    renameFirst(*window, "Mine");
    writeText(file, "{\"theirs\": true}");
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(5));

    DialogAnswer cancel(pressButton(QMessageBox::Cancel));
    EXPECT_FALSE(window->save());
    EXPECT_NE(cancel.text.find("changed by another program"), std::string::npos);
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

    DialogAnswer saveAnyway(pressButtonNamed("Save Anyway"));
    QTimer::singleShot(0, [] {}); // keep the loop turning between the two dialogs
    bool saved = true;
    {
        DialogAnswer* failure = nullptr;
        QTimer::singleShot(50, [&] { failure = new DialogAnswer(pressButton(QMessageBox::Ok)); });
        saved = window->save();
        ASSERT_TRUE(failure);
        EXPECT_NE(failure->text.find("could not be saved"), std::string::npos);
        delete failure;
    }
    EXPECT_FALSE(saved);
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(readText(folder), "not a folder");
    fs::remove(folder);
    fs::rename(moved, folder);
}

TEST_F(DocumentWindowTest, ANewDocumentAsksForItsNameOnceOnly) {
    int dialogs = 0;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            ++dialogs;
            dialog->reject();
        }
    });
    poll.start();
    application->newDocument();
    DocumentWindow* window = application->windows().back();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QTest::qWait(100);
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(window->path().isEmpty());
    EXPECT_FALSE(window->filepath());

    window->hide();
    window->show();
    QTest::qWait(100);
    EXPECT_EQ(dialogs, 1);
}

TEST_F(DocumentWindowTest, TheLogoStaysClearOfTheScroller) {
    DocumentWindow* window = open();
    ASSERT_TRUE(window);
    QApplication::processEvents();
    auto* scrollArea = window->findChild<QScrollArea*>();
    auto* logo = window->findChild<QLabel*>("logo");
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
    QString suggested;
    window->chooseSavePath = [&](const QString& offered) {
        suggested = offered;
        return QString::fromStdString(target.string());
    };
    ASSERT_TRUE(window->saveAs());
    EXPECT_EQ(suggested.toStdString(), fs::absolute(file).string());
    // A name without an extension gets the document extension.
    const fs::path saved = target.string() + ".pathwicks";
    EXPECT_EQ(window->path().toStdString(), saved.string());
    ASSERT_TRUE(window->filepath());
    EXPECT_EQ(window->filepath()->toStdString(), saved.string());
    EXPECT_EQ(readText(saved), formatted(saved));
    EXPECT_TRUE(window->windowTitle().startsWith("copy.pathwicks"));
}
