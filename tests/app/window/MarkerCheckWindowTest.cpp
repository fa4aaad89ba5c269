// The window's background marker check on real widgets offscreen: the states it finds against
// `pathwicks check`, the panel's location and preview, Next Problem, and checks that are
// cancelled or have to wait for one another.
#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/DetailPanelWidget.h"
#include "app/DocumentView.h"
#include "app/DocumentWindow.h"
#include "app/MarkerCheckQueue.h"
#include "app/WindowMarkerCheck.h"
#include "cli/CheckCommand.h"

#include "FakeDialogs.h"
#include "WindowTesting.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

std::string box(const std::string& id, const std::string& title, int x, int y,
                const std::string& editor = "VS Code") {
    return R"({"id":")" + id + R"(","title":")" + title + R"(","editor":")" + editor +
           R"(","rect":"{{)" + std::to_string(x) + ", " + std::to_string(y) +
           R"(}, {100, 40}}","arrows":[]})";
}

std::string document(const std::vector<std::string>& boxes) {
    std::string content;
    for (const auto& b : boxes)
        content += (content.empty() ? "" : ",") + b;
    return R"({"window":"{{0, 0}, {900, 600}}","content":[)" + content + R"(],"labels":[]})";
}

class MarkerCheckWindowTest : public pathwicks::testing::WindowTest {
protected:
    // Opens the document and waits until its checks (on opening, on becoming active) end.
    DocumentWindow* open(const std::string& path) {
        DocumentWindow* window = WindowTest::open(path);
        if (window) {
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    return window->markerCheck().states() && !window->markerCheck().isChecking();
                },
                20000));
        }
        return window;
    }
    // What a fake VS Code, first on PATH, is started with when the place's link is followed.
    std::string editorArguments(DocumentWindow& window, const QString& link) {
        const std::string record = path("arguments.txt");
        const std::string launcher =
            write("bin/code", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + ".part' && mv '" +
                                  record + ".part' '" + record + "'\n");
        fs::permissions(launcher, fs::perms::owner_all);
        const std::string previousPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", (path("bin") + ":" + previousPath).c_str(), 1);
        emit window.findChild<QLabel*>("markerWhere")->linkActivated(link);
        EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(record); }, 10000));
        ::setenv("PATH", previousPath.c_str(), 1);
        std::stringstream recorded;
        recorded << std::ifstream(record).rdbuf();
        return recorded.str();
    }
    static bool waitForCheck(DocumentWindow& window) {
        QSignalSpy spy(&window.markerCheck(), &WindowMarkerCheck::finished);
        return spy.wait(20000);
    }
    static QString status(DocumentWindow& window) {
        return window.findChild<QLabel*>("markerStatus")->text();
    }
    static QAction* action(DocumentWindow& window, const QString& name) {
        for (QAction* a : window.findChildren<QAction*>())
            if (a->text().remove('&') == name)
                return a;
        return nullptr;
    }
    static QString whereText(DocumentWindow& window) {
        return window.findChild<QLabel*>("markerWhere")->text();
    }
    static QPlainTextEdit* preview(DocumentWindow& window) {
        return window.findChild<QPlainTextEdit*>("codePreview");
    }
    static ReferencePtr at(DocumentWindow& window, size_t i) {
        return window.canvas().model().content().at(i);
    }
    // The window's states written as `pathwicks check` reports them.
    static std::string reportOf(DocumentWindow& window) {
        const MarkerStates& states = *window.markerCheck().states();
        std::string report;
        for (const ReferencePtr& reference : window.canvas().model().content()) {
            const auto* places = states.placesOf(*reference);
            if (!places || places->size() == 1)
                continue;
            report += (places->empty() ? "missing " : "duplicate ") + reference->id + " " +
                      reference->title + "\n";
            for (const auto& place : *places)
                report += "  " + place.path + ":" + std::to_string(place.line) + "\n";
        }
        return report;
    }
};

} // namespace

TEST_F(MarkerCheckWindowTest, TheWindowFindsWhatCheckFinds) {
    write("src/one.c", "int a; // pathwick-ONE First step\n");
    write("src/two.c", "\n// pathwick-TWO\n");
    write("lib/two.h", "// pathwick-TWO again\n// pathwick-TWO and again\n");
    write(".git/x.c", "// pathwick-MISSING\n");
    write("deep/a/b/c/three.py", "x = 1\n// pathwick-THREE Third\n");
    const std::string file = write(
        "walk.pathwicks",
        document({box("pathwick-TWO", "Second", 10, 10), box("pathwick-ONE", "First", 200, 10),
                  box("pathwick-MISSING", "Gone", 400, 10), box("pathwick-THREE", "Third", 10, 200),
                  box("pathwick-WEB", "Docs,https://example.org", 200, 200, "Safari"),
                  box("pathwick-ONE", "Same id", 400, 200)}));
    DocumentWindow* window = open(file);
    ASSERT_TRUE(window && window->markerCheck().states());

    std::ostringstream out, err;
    EXPECT_EQ(cli::runCheck({file}, out, err), 1);
    EXPECT_EQ(reportOf(*window), out.str());
    EXPECT_NE(out.str().find("duplicate pathwick-TWO"), std::string::npos);
    EXPECT_EQ(status(*window), "5 boxes: 3 found, 1 missing, 1 duplicated");
}

TEST_F(MarkerCheckWindowTest, ThePanelShowsWhereTheMarkerIsAndTheCodeAfterIt) {
    std::string code = "#include <x>\n\n// pathwick-ONE One\n";
    for (int i = 1; i <= 20; ++i)
        code += "\tline" + std::to_string(i) + "\n";
    write("src/one.c", code);
    write("a.c", "// pathwick-TWO\n");
    write("b.c", "\n// pathwick-TWO\n");
    DocumentWindow* window =
        open(write("walk.pathwicks", document({box("pathwick-ONE", "One", 10, 10),
                                               box("pathwick-TWO", "Two", 200, 10),
                                               box("pathwick-NONE", "None", 400, 10)})));
    ASSERT_TRUE(window);

    window->view().showReference(at(*window, 0));
    EXPECT_TRUE(whereText(*window).contains(">src/one.c:3</a>"));
    // Read off the window's thread, the preview comes a moment later, never as the call returns.
    EXPECT_FALSE(preview(*window)->isVisibleTo(window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview(*window)->isVisibleTo(window); }));
    const QStringList lines = preview(*window)->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 13);
    EXPECT_EQ(lines[0], "// pathwick-ONE One");
    EXPECT_EQ(lines[1], "    line1");
    EXPECT_EQ(preview(*window)->lineWrapMode(), QPlainTextEdit::NoWrap);

    window->view().showReference(at(*window, 1));
    EXPECT_TRUE(whereText(*window).contains(">a.c:1</a>"));
    EXPECT_TRUE(whereText(*window).contains(">b.c:2</a>"));

    // Each place opens the box's editor there.
    EXPECT_EQ(editorArguments(*window, "1"), "--goto\n" + path("b.c") + ":2:1\n");

    window->view().showReference(at(*window, 2));
    EXPECT_TRUE(
        whereText(*window).contains("Marker not found under " + QString::fromStdString(path())));
    EXPECT_EQ(window->findChild<QPlainTextEdit*>("missingMarkerLine")->toPlainText(),
              "// pathwick-NONE None");
    EXPECT_FALSE(preview(*window)->isVisibleTo(window));

    // The file becomes binary, then vanishes: no preview, and a word on why, until the next
    // check finds the marker gone.
    auto* note = window->findChild<QLabel*>("previewNote");
    write("src/one.c", std::string("// pathwick-ONE One\n\0\0", 22));
    window->view().showReference(at(*window, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return note->isVisibleTo(window); }));
    EXPECT_FALSE(preview(*window)->isVisibleTo(window));
    EXPECT_TRUE(note->text().contains("not text"));
    fs::remove(path("src/one.c"));
    window->view().showReference(at(*window, 1));
    window->view().showReference(at(*window, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return note->text().contains("no longer"); }));

    action(*window, "Check Markers")->trigger();
    EXPECT_EQ(status(*window), "Checking markers…");
    ASSERT_TRUE(waitForCheck(*window));
    EXPECT_TRUE(whereText(*window).startsWith("Marker not found"));
    EXPECT_EQ(window->markerCheck().states()->stateOf(*at(*window, 0)), MarkerState::missing);
}

TEST_F(MarkerCheckWindowTest, NextProblemSelectsTheBoxesInReadingOrderAndWraps) {
    write("a.c", "// pathwick-OK\n// pathwick-TWICE\n\n// pathwick-TWICE\n");
    DocumentWindow* window =
        open(write("walk.pathwicks", document({box("pathwick-LOW", "Low", 10, 300),
                                               box("pathwick-OK", "Fine", 10, 10),
                                               box("pathwick-TWICE", "Twice", 300, 10),
                                               box("pathwick-LEFT", "Left", 10, 100)})));
    ASSERT_TRUE(window);
    QAction* next = action(*window, "Next Problem");
    ASSERT_TRUE(next);
    EXPECT_EQ(next->shortcut(), QKeySequence(Qt::Key_F8));
    EXPECT_EQ(action(*window, "Check Markers")->shortcut(), QKeySequence(Qt::Key_F5));

    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) {
        next->trigger();
        const auto& content = window->canvas().model().content();
        std::string selected;
        for (const auto& reference : content)
            if (reference->selected)
                selected += reference->title;
        order.push_back(selected);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"Twice", "Left", "Low", "Twice"}));

    // Every marker in place: the status bar says so, and the selection stays.
    write("b.c", "// pathwick-LOW\n// pathwick-LEFT\n");
    write("a.c", "// pathwick-OK\n// pathwick-TWICE\n");
    action(*window, "Check Markers")->trigger();
    ASSERT_TRUE(waitForCheck(*window));
    next->trigger();
    EXPECT_EQ(status(*window), "No box has a missing or duplicated marker.");
    EXPECT_TRUE(at(*window, 2)->selected);
}

TEST_F(MarkerCheckWindowTest, ANewerCheckCancelsTheOlderAndOneFolderIsSearchedOnceAtATime) {
    // Enough files that a search takes a while.
    for (int i = 0; i < 3000; ++i)
        write("f" + std::to_string(i % 40) + "/g" + std::to_string(i) + ".c",
              std::string(2000, 'x') + "\n");
    write("m.c", "// pathwick-ONE\n");
    const std::string first =
        write("first.pathwicks", document({box("pathwick-ONE", "One", 10, 10)}));
    const std::string second =
        write("second.pathwicks", document({box("pathwick-TWO", "Two", 10, 10)}));
    DocumentWindow* one = open(first);
    DocumentWindow* two = open(second);
    ASSERT_TRUE(one && two);
    MarkerCheckQueue& queue = MarkerCheckQueue::shared();

    // Two windows on one folder: the second search waits for the first.
    QSignalSpy oneDone(&one->markerCheck(), &WindowMarkerCheck::finished);
    QSignalSpy twoDone(&two->markerCheck(), &WindowMarkerCheck::finished);
    one->markerCheck().start(true);
    two->markerCheck().start(true);
    EXPECT_EQ(queue.runningCount(), 1u);
    EXPECT_TRUE(two->markerCheck().isChecking());
    // A second check of one window before its first ends: only the second reports. (The order
    // of the searches themselves is checked without windows, in MarkerCheckScheduleTest.)
    one->markerCheck().start(true);
    const auto idle = [&] {
        return !one->markerCheck().isChecking() && !two->markerCheck().isChecking();
    };
    ASSERT_TRUE(QTest::qWaitFor(idle, 20000));
    pathwicks::testing::settle();
    EXPECT_EQ(oneDone.size(), 1);
    EXPECT_GE(twoDone.size(), 1);
    EXPECT_EQ(two->markerCheck().states()->stateOf(*at(*two, 0)), MarkerState::missing);

    // A window closed while its check runs: the check ends, and nothing reaches the window.
    two->markerCheck().start(true);
    two->document().undoManager().markSaved();
    two->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return queue.runningCount() == 0; }, 20000));
    pathwicks::testing::settle();
    EXPECT_EQ(oneDone.size(), 1);
}

// The states follow the code and the boxes without F5: a box given a new id shows its state at
// once, and a marker removed from a file on disk shows as missing within two seconds.
TEST_F(MarkerCheckWindowTest, StatesFollowEditsOfTheBoxesAndOfTheCode) {
    write("src/one.c", "int a; // pathwick-ONE First\n// pathwick-NEW New\n");
    const std::string two = write("src/two.c", "\n// pathwick-TWO\n");
    const std::string file = write(
        "walk.pathwicks",
        document({box("pathwick-ONE", "First", 10, 10), box("pathwick-TWO", "Second", 200, 10),
                  box("pathwick-GONE", "Gone", 400, 10)}));
    DocumentWindow* window = open(file);
    ASSERT_TRUE(window);
    EXPECT_EQ(status(*window), "3 boxes: 2 found, 1 missing");

    window->canvas().setReferenceIdAndTitle(at(*window, 2), "pathwick-NEW", "New");
    pathwicks::testing::settle();
    EXPECT_EQ(status(*window), "3 boxes: 3 found");
    EXPECT_TRUE(waitForCheck(*window));
    EXPECT_EQ(status(*window), "3 boxes: 3 found");

    EXPECT_TRUE(window->markerCheck().watched().contains(QString::fromStdString(two)));
    std::ofstream(two, std::ios::binary) << "\n// nothing here now\n";
    ASSERT_TRUE(QTest::qWaitFor([&] { return status(*window) == "3 boxes: 2 found, 1 missing"; }, 2000))
        << status(*window).toStdString();
    EXPECT_EQ(reportOf(*window), "missing pathwick-TWO Second\n");
}
