// Unsaved work is copied aside while a window has it, the copy goes when the work is saved or
// given up, and a run that ends without saving has its work offered at the next start.
#include "FakeDialogs.h"
#include "FaultFolders.h"
#include "WindowTesting.h"

#include "app/Application.h"
#include "app/DocumentWindow.h"
#include "app/RecoveryKeeper.h"
#include "model/RecoveryFolder.h"
#include "model/UndoManager.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <functional>

using namespace pathwicks;
using namespace pathwicks::testing;
namespace fs = std::filesystem;

namespace {

std::string documentWith(const std::string& title) {
    return R"({
  "window": "{{100, 80}, {500, 400}}",
  "content": [
    {"id": "pathwick-A", "title": ")" + title + R"(", "editor": "Xcode", "rect": "{{40, 30}, {180, 50}}", "arrows": []}
  ],
  "labels": []
}
)";
}

// An edit as the canvas makes one: a change with its undo step.
void rename(DocumentWindow& window, const std::string& title) {
    auto reference = window.document().model().content().front();
    const std::string old = reference->title;
    window.document().undoManager().registerUndo([reference, old] { reference->title = old; });
    reference->title = title;
}

std::string firstTitle(DocumentWindow& window) {
    return window.document().model().content().front()->title;
}

bool waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 20'000);
}

class RecoveryWindowTest : public WindowTest {
protected:
    void SetUp() override {
        // Each test has a state folder of its own.
        if (const char* previous = std::getenv("XDG_STATE_HOME"))
            previousState = previous;
        state = folder / "state";
        fs::create_directories(state);
        ::setenv("XDG_STATE_HOME", state.c_str(), 1);
        copies = state / "pathwicks" / "recovery";
        RecoveryKeeper::setDelays(0, 0);
        WindowTest::SetUp();
    }
    void TearDown() override {
        WindowTest::TearDown();
        RecoveryKeeper::waitForWrites();
        ::setenv("XDG_STATE_HOME", previousState.c_str(), 1);
    }

    fs::path document(const std::string& name, const std::string& title) {
        const fs::path file = folder / name;
        writeText(file, documentWith(title));
        return file;
    }
    // The copies in the state folder, once every write asked for has been made.
    std::vector<fs::path> copyFiles() {
        RecoveryKeeper::waitForWrites();
        std::vector<fs::path> found;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(copies, error))
            if (entry.path().extension() == ".recovery")
                found.push_back(entry.path());
        return found;
    }
    RecoveryCopy onlyCopy() {
        const auto files = copyFiles();
        if (files.size() != 1)
            return {};
        auto decoded = RecoveryFile::decode(readText(files.front()));
        return std::holds_alternative<RecoveryCopy>(decoded) ? std::get<RecoveryCopy>(decoded)
                                                              : RecoveryCopy{};
    }
    // A copy left behind by a run that ended without saving.
    void leaveCopy(const fs::path& original, const std::string& title) {
        auto made = RecoverySlot::create(copies.string());
        ASSERT_TRUE(std::holds_alternative<std::unique_ptr<RecoverySlot>>(made));
        auto& slot = std::get<std::unique_ptr<RecoverySlot>>(made);
        RecoveryCopy copy{documentWith(title), original.string(), FileStamp::of(original), 0};
        ASSERT_FALSE(slot->write(RecoveryFile::encode(copy)));
    }

    std::string previousState;
    fs::path state;
    fs::path copies;
};

TEST_F(RecoveryWindowTest, ACopyIsKeptWhileWorkIsUnsaved) {
    const fs::path file = document("walk.pathwicks", "Parse");
    DocumentWindow* window = open(file);
    ASSERT_TRUE(window);
    EXPECT_TRUE(copyFiles().empty());

    rename(*window, "Tokenise");
    ASSERT_TRUE(waitFor([&] { return copyFiles().size() == 1; }));
    const RecoveryCopy copy = onlyCopy();
    EXPECT_EQ(copy.originalPath, file.string());
    EXPECT_NE(copy.documentBytes.find("Tokenise"), std::string::npos);
    EXPECT_EQ(readText(file), documentWith("Parse")) << "the original is never touched";

    // Further changes replace the copy.
    rename(*window, "Tokenise twice");
    ASSERT_TRUE(waitFor([&] {
        return onlyCopy().documentBytes.find("Tokenise twice") != std::string::npos;
    }));

    // Saving removes it,
    EXPECT_TRUE(window->save());
    EXPECT_TRUE(copyFiles().empty());
    // so does undoing back to the saved state,
    rename(*window, "Lex");
    ASSERT_TRUE(waitFor([&] { return copyFiles().size() == 1; }));
    window->document().undoManager().undo();
    EXPECT_EQ(firstTitle(*window), "Tokenise twice");
    EXPECT_TRUE(copyFiles().empty());
    // and closing without saving, which leaves nothing behind in the folder.
    rename(*window, "Lex");
    ASSERT_TRUE(waitFor([&] { return copyFiles().size() == 1; }));
    dialogs.unsavedChanges = UserDialogs::UnsavedChanges::discard;
    EXPECT_TRUE(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(copyFiles().empty());
    EXPECT_EQ(listing(copies), "");
    EXPECT_EQ(dialogs.count("restore?"), 0);
}

TEST_F(RecoveryWindowTest, TheWorkOfAKilledRunIsRestoredWithItsPath) {
    const fs::path file = document("walk.pathwicks", "Parse");
    QProcess run;
    run.start(RECOVERY_CHILD, {QString::fromStdString(file.string()), "Edited, never saved"});
    ASSERT_TRUE(run.waitForStarted());
    ASSERT_TRUE(waitFor([&] { return copyFiles().size() == 1; }));

    // A second instance, while the first runs, leaves its copy alone.
    dialogs.recovery = UserDialogs::Recovery::restore;
    EXPECT_FALSE(application->recovery().offerAtStart());
    EXPECT_EQ(dialogs.count("restore?"), 0);

    run.kill(); // SIGKILL: nothing of the run's own ending happens
    ASSERT_TRUE(run.waitForFinished());
    // Another program changes the file after the crash.
    writeText(file, documentWith("Parse, changed elsewhere"));

    ASSERT_TRUE(application->recovery().offerAtStart());
    EXPECT_TRUE(dialogs.mentions("restore? walk.pathwicks in " + folder.string() + " at "))
        << ::testing::PrintToString(dialogs.said);
    ASSERT_EQ(application->windows().size(), 1u);
    DocumentWindow* window = application->windows().front();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->document().path(), file.string());
    EXPECT_EQ(firstTitle(*window), "Edited, never saved");
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(copyFiles().size(), 1u) << "kept until the work is saved";

    // Save writes to the original, after asking about the other program's change.
    dialogs.saveOverChangedFile = true;
    EXPECT_TRUE(window->save());
    EXPECT_EQ(dialogs.count("changed elsewhere: walk.pathwicks"), 1);
    EXPECT_NE(readText(file).find("Edited, never saved"), std::string::npos);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_TRUE(copyFiles().empty());
}

// Ended as at logout, a run copies its unsaved work at once (its own copy was not due for an
// hour), releases its locks and ends within seconds; the next start offers the work.
TEST_F(RecoveryWindowTest, TheWorkOfARunEndedBySignalIsKept) {
    for (const auto& [signal, name] : {std::pair{SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}}) {
        SCOPED_TRACE(name);
        const fs::path file = document("walk.pathwicks", "Parse");
        QProcess run;
        run.start(RECOVERY_CHILD, {QString::fromStdString(file.string()), name, "late"});
        ASSERT_TRUE(run.waitForStarted());
        QByteArray said;
        ASSERT_TRUE(waitFor([&] { return (said += run.readAllStandardOutput()).contains("changed"); }));
        EXPECT_TRUE(copyFiles().empty());
        ::kill(pid_t(run.processId()), signal);
        ASSERT_TRUE(run.waitForFinished(5000));
        EXPECT_EQ(run.exitStatus(), QProcess::CrashExit) << "ended by the signal";

        auto claimed = claimUnownedCopies(copies.string());
        ASSERT_EQ(claimed.copies.size(), 1u);
        EXPECT_EQ(claimed.copies[0].copy.originalPath, file.string());
        EXPECT_NE(claimed.copies[0].copy.documentBytes.find(name), std::string::npos);
        claimed.copies[0].slot->remove();
        claimed.copies.clear();
        EXPECT_EQ(listing(copies), "") << "no copy or lock file left";
    }
}

TEST_F(RecoveryWindowTest, LaterDiscardAndOpeningADocumentWithACopy) {
    const fs::path file = document("walk.pathwicks", "Parse");
    leaveCopy(file, "Kept for later");

    // Later keeps the copy for the next start, and this run does not ask again.
    dialogs.recovery = UserDialogs::Recovery::later;
    EXPECT_FALSE(application->recovery().offerAtStart());
    EXPECT_EQ(dialogs.count("restore? walk.pathwicks"), 1);
    DocumentWindow* window = open(file);
    ASSERT_TRUE(window);
    EXPECT_EQ(firstTitle(*window), "Parse");
    EXPECT_EQ(dialogs.count("restore?"), 1);
    closeWindows();
    EXPECT_EQ(copyFiles().size(), 1u);

    // The next run: opening the document offers its copy first.
    startApplication();
    dialogs.said.clear();
    dialogs.recovery = UserDialogs::Recovery::restore;
    window = open(file);
    ASSERT_TRUE(window);
    EXPECT_EQ(dialogs.count("restore? walk.pathwicks"), 1);
    EXPECT_EQ(firstTitle(*window), "Kept for later");
    EXPECT_TRUE(window->isWindowModified());
    closeWindows();
    EXPECT_TRUE(copyFiles().empty());

    // Discard removes the copies; the document then opens from its file.
    leaveCopy(file, "Thrown away");
    leaveCopy(folder / "other.pathwicks", "Thrown away too");
    dialogs.said.clear();
    dialogs.recovery = UserDialogs::Recovery::discard;
    EXPECT_FALSE(application->recovery().offerAtStart());
    EXPECT_TRUE(dialogs.mentions("walk.pathwicks in")) << ::testing::PrintToString(dialogs.said);
    EXPECT_TRUE(dialogs.mentions("other.pathwicks in"));
    EXPECT_TRUE(copyFiles().empty());
    EXPECT_EQ(listing(copies), "");
    window = open(file);
    ASSERT_TRUE(window);
    EXPECT_EQ(firstTitle(*window), "Parse");
}

TEST_F(RecoveryWindowTest, ACopyThatCannotBeReadIsNamedAndKeptAside) {
    const fs::path file = document("walk.pathwicks", "Parse");
    leaveCopy(file, "Readable");
    fs::create_directories(copies);
    writeText(copies / "garbled.recovery", "{\"not\": \"a copy\"}\n");
    RecoveryCopy cut{documentWith("Cut off"), file.string(), std::nullopt, 0};
    const std::string cutBytes = RecoveryFile::encode(cut);
    writeText(copies / "cut.recovery", cutBytes.substr(0, cutBytes.size() - 20));

    dialogs.recovery = UserDialogs::Recovery::restore;
    EXPECT_TRUE(application->recovery().offerAtStart());
    EXPECT_EQ(dialogs.count("failure: 2 copies of unsaved work could not be read."), 1)
        << ::testing::PrintToString(dialogs.said);
    EXPECT_TRUE(dialogs.mentions("garbled.recovery: "));
    EXPECT_TRUE(dialogs.mentions("cut.recovery: It is cut off"));
    EXPECT_TRUE(dialogs.mentions("It was moved to " + (copies / "unreadable").string()));
    // Kept as they were, out of the way of the next start.
    EXPECT_EQ(readText(copies / "unreadable" / "garbled.recovery"), "{\"not\": \"a copy\"}\n");
    EXPECT_EQ(readText(copies / "unreadable" / "cut.recovery"),
              cutBytes.substr(0, cutBytes.size() - 20));
    // The readable copy was restored all the same.
    ASSERT_EQ(application->windows().size(), 1u);
    EXPECT_EQ(firstTitle(*application->windows().front()), "Readable");
}

TEST_F(RecoveryWindowTest, AStateFolderThatTakesNoCopiesStopsThemWithOneNotice) {
    for (bool full : {false, true}) {
        SCOPED_TRACE(full ? "a full disk" : "a read-only folder");
        TemporaryFolder place;
        const fs::path at = place.path() / "state";
        fs::create_directories(at);
        Mount mount = full ? Mount::tmpfs(at, 64 * 1024) : Mount::readOnlyBind(at, at);
        if (mount.refusal)
            GTEST_SKIP() << *mount.refusal;
        if (full) {
            fs::create_directories(at / "pathwicks" / "recovery");
            fillUp(at / "filler");
        }
        ::setenv("XDG_STATE_HOME", at.c_str(), 1);
        dialogs.said.clear();

        DocumentWindow* first = open(document("first.pathwicks", "Parse"));
        DocumentWindow* second = open(document("second.pathwicks", "Parse"));
        ASSERT_TRUE(first && second);
        rename(*first, "Lex");
        rename(*second, "Lex");
        ASSERT_TRUE(waitFor([&] { return dialogs.count("told:") > 0; }));
        rename(*first, "Lex again");
        rename(*second, "Lex again");
        // Whatever those changes set off is over: copies planned, written, failures told.
        settle();
        RecoveryKeeper::waitForWrites();
        settle();
        EXPECT_EQ(dialogs.count("told: Copies of unsaved work for recovery after a crash are "
                                "turned off"),
                  1)
            << ::testing::PrintToString(dialogs.said);
        // Saving is not affected.
        EXPECT_TRUE(first->save());
        EXPECT_TRUE(second->save());
        EXPECT_EQ(dialogs.count("failure:"), 0);
        closeWindows();
        RecoveryKeeper::waitForWrites();
    }
}

} // namespace
