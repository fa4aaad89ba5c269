// A save that fails in a window, on a real fault or because the user declines to overwrite
// another program's change, keeps the document open and marked unsaved, tells the user, and
// leaves the disk as it was.
#include "FailingSteps.h"
#include "FakeDialogs.h"
#include "FaultFolders.h"
#include "WindowTesting.h"

#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/DocumentWindow.h"
#include "model/UndoManager.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

using namespace pathwicks;
using namespace pathwicks::testing;
namespace fs = std::filesystem;

namespace {

const std::string documentText = R"({
  "window": "{{100, 80}, {500, 400}}",
  "content": [
    {"id": "pathwick-A", "title": "Parse", "editor": "Xcode", "rect": "{{40, 30}, {180, 50}}", "arrows": []}
  ],
  "labels": []
})";

// An edit as the canvas makes one: a change with its undo step.
void rename(DocumentWindow& window, const std::string& title) {
    auto reference = window.document().model().content().front();
    const std::string old = reference->title;
    window.document().undoManager().registerUndo([&window, old] { rename(window, old); });
    reference->title = title;
}

class SaveFaultWindowTest : public WindowTest {
protected:
    // Opens the document at the path and changes it, so that it is marked unsaved.
    DocumentWindow* openAndEdit(const fs::path& file) {
        writeText(file, documentText);
        DocumentWindow* window = open(file);
        if (!window)
            return nullptr;
        rename(*window, "Mine");
        EXPECT_TRUE(window->isWindowModified());
        return window;
    }
    // Saves, saving over another program's change or not as told; checks that the save failed
    // and the window stayed as it was, and returns what the dialogs said.
    std::vector<std::string> failingSave(DocumentWindow& window, bool saveOverChangedFile) {
        dialogs.said.clear();
        dialogs.saveOverChangedFile = saveOverChangedFile;
        EXPECT_FALSE(window.save());
        EXPECT_TRUE(window.isWindowModified());
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.document().model().content().front()->title, "Mine");
        return dialogs.said;
    }
};

bool mentions(const std::vector<std::string>& texts, const std::string& words) {
    for (const auto& text : texts) {
        if (text.find(words) != std::string::npos)
            return true;
    }
    return false;
}

TEST_F(SaveFaultWindowTest, AFailureAtAnyStepOfTheSave) {
    TemporaryFolder folder;
    const fs::path file = folder.path() / "tour.pathwicks";
    DocumentWindow* window = openAndEdit(file);
    ASSERT_TRUE(window);
    for (Step step : {Step::create, Step::permissions, Step::write, Step::partialWrite,
                      Step::zeroWrite, Step::sync, Step::close, Step::rename}) {
        SCOPED_TRACE(name(step));
        FailingSteps failing(step, ENOSPC);
        window->document().setSaveSteps(&failing);
        auto texts = failingSave(*window, true);
        EXPECT_TRUE(mentions(texts, "could not be saved")) << ::testing::PrintToString(texts);
        EXPECT_EQ(readText(file), documentText);
        EXPECT_EQ(listing(folder.path()), "tour.pathwicks\n");
    }
    window->document().setSaveSteps(nullptr);
    EXPECT_TRUE(window->save());
    EXPECT_FALSE(window->isWindowModified());
}

TEST_F(SaveFaultWindowTest, AFullDisk) {
    TemporaryFolder folder;
    Mount disk = Mount::tmpfs(folder.path(), 64 * 1024);
    if (disk.refusal)
        GTEST_SKIP() << *disk.refusal;
    const fs::path file = folder.path() / "tour.pathwicks";
    DocumentWindow* window = openAndEdit(file);
    ASSERT_TRUE(window);
    fillUp(folder.path() / "filler");

    auto texts = failingSave(*window, true);
    EXPECT_TRUE(mentions(texts, "could not be saved")) << ::testing::PrintToString(texts);
    EXPECT_TRUE(mentions(texts, "No space left on device")) << ::testing::PrintToString(texts);
    EXPECT_EQ(readText(file), documentText);
    EXPECT_EQ(listing(folder.path()), "filler\ntour.pathwicks\n");

    // Once there is room again, the same window saves.
    fs::remove(folder.path() / "filler");
    EXPECT_TRUE(window->save());
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_NE(readText(file).find("Mine"), std::string::npos);
}

TEST_F(SaveFaultWindowTest, AFolderThatRefusesWrites) {
    TemporaryFolder folder;
    Mount disk = Mount::tmpfs(folder.path(), 64 * 1024);
    if (disk.refusal)
        GTEST_SKIP() << *disk.refusal;
    const fs::path file = folder.path() / "tour.pathwicks";
    DocumentWindow* window = openAndEdit(file);
    ASSERT_TRUE(window);
    // The folder turns read-only under the open document, as a remounted disk does.
    ASSERT_EQ(::mount(nullptr, folder.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
        << std::strerror(errno);

    auto texts = failingSave(*window, true);
    EXPECT_TRUE(mentions(texts, "could not be saved")) << ::testing::PrintToString(texts);
    EXPECT_TRUE(mentions(texts, "Read-only file system")) << ::testing::PrintToString(texts);
    EXPECT_EQ(readText(file), documentText);
    EXPECT_EQ(listing(folder.path()), "tour.pathwicks\n");
}

TEST_F(SaveFaultWindowTest, AFileDeletedElsewhereWhenTheUserDeclines) {
    TemporaryFolder folder;
    const fs::path file = folder.path() / "tour.pathwicks";
    DocumentWindow* window = openAndEdit(file);
    ASSERT_TRUE(window);
    fs::remove(file);

    auto texts = failingSave(*window, false);
    EXPECT_TRUE(mentions(texts, "moved or deleted: tour.pathwicks")) << ::testing::PrintToString(texts);
    EXPECT_EQ(listing(folder.path()), "");
}

TEST_F(SaveFaultWindowTest, AFileReplacedElsewhereWhenTheUserDeclines) {
    TemporaryFolder folder;
    const fs::path file = folder.path() / "tour.pathwicks";
    DocumentWindow* window = openAndEdit(file);
    ASSERT_TRUE(window);
    // Another program writes a new file and renames it over ours, as editors do.
    const std::string theirs = "{\"theirs\": true}";
    writeText(folder.path() / "theirs", theirs);
    fs::rename(folder.path() / "theirs", file);

    auto texts = failingSave(*window, false);
    EXPECT_TRUE(mentions(texts, "changed elsewhere: tour.pathwicks")) << ::testing::PrintToString(texts);
    EXPECT_EQ(readText(file), theirs);
    EXPECT_EQ(listing(folder.path()), "tour.pathwicks\n");
}

TEST_F(SaveFaultWindowTest, APathThatBecameAFolder) {
    TemporaryFolder folder;
    const fs::path file = folder.path() / "tour.pathwicks";
    DocumentWindow* window = openAndEdit(file);
    ASSERT_TRUE(window);
    fs::remove(file);
    fs::create_directory(file);
    writeText(file / "inside", "kept");

    // Whether or not the window notices the change first, the user says to go on; the save
    // must fail all the same.
    auto texts = failingSave(*window, true);
    EXPECT_TRUE(mentions(texts, "could not be saved")) << ::testing::PrintToString(texts);
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(readText(file / "inside"), "kept");
    EXPECT_EQ(listing(folder.path()), "tour.pathwicks\n");
}

} // namespace
