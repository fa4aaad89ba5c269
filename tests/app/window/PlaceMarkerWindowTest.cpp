// Markers placed from the window and handed to it: `pathwicks mark --to` and `pathwicks FILE`
// through the running instance's socket, the Place Marker chooser, Remove Marker from Code,
// and Duplicate's new id.
#include "app/PlaceMarkerDialog.h"
#include "app/SingleInstance.h"
#include "app/WindowMarkerCheck.h"
#include "cli/InstanceChannel.h"
#include "cli/MarkCommand.h"
#include "model/FileIO.h"

#include "WindowTesting.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <future>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>

using namespace pathwicks;
namespace fs = std::filesystem;

namespace {

const std::string walkthrough =
    R"({"window":"{{0, 0}, {900, 600}}","content":[{"id":"pathwick-ONE","title":"Start",)"
    R"("editor":"Vim","rect":"{{10, 10}, {100, 50}}","arrows":[]}],"labels":[]})";

std::string readText(const std::string& path) {
    auto bytes = readFileBytes(path);
    return std::holds_alternative<std::string>(bytes) ? std::get<std::string>(bytes) : "<error>";
}

// Runs work off the event loop's thread, which must go on answering the socket meanwhile.
template <typename Work> auto whileServing(Work work) {
    auto result = std::async(std::launch::async, work);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        20000));
    return result.get();
}

// A socket file left behind as by a crash: bound, then closed.
void leaveStaleSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ::unlink(path.c_str());
    ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(fd);
}

class PlaceMarkerWindowTest : public pathwicks::testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        instance = std::make_unique<SingleInstance>(
            [this](const nlohmann::json& request) { return application->answerInstance(request); });
    }
    void TearDown() override {
        instance.reset();
        WindowTest::TearDown();
    }
    std::unique_ptr<SingleInstance> instance;
};

} // namespace

TEST_F(PlaceMarkerWindowTest, MarkHandsTheBoxToTheWindowThatHasTheDocumentOpen) {
    leaveStaleSocket(*cli::instanceSocketPath());
    ASSERT_TRUE(instance->listen()); // the stale socket taken over
    const std::string source = write("src/main.py", "def main():\n    run()\n");
    const std::string doc = write("walk.pathwicks", walkthrough);
    DocumentWindow* window = open(doc);
    ASSERT_TRUE(window);

    const auto mark = [&](std::vector<std::string> args) {
        return whileServing([args] {
            std::ostringstream out, err;
            const int status = cli::runMark(args, out, err);
            return std::pair(status, out.str() + err.str());
        });
    };
    const auto [status, said] =
        mark({"--to", doc, "--editor", "Vim", "--after", "pathwick-ONE", source + ":2"});
    ASSERT_EQ(status, 0) << said;
    const std::string id = said.substr(0, said.size() - 1);
    EXPECT_EQ(readText(source), "def main():\n    # " + id + " run()\n    run()\n");
    // In the window, unsaved, as one undo step; the file on disk as it was.
    const auto& model = window->document().model();
    ASSERT_EQ(model.content().size(), 2u);
    EXPECT_EQ(model.content()[1]->id, id);
    EXPECT_EQ(model.content()[1]->title, "run()");
    ASSERT_EQ(model.arrows.size(), 1u);
    EXPECT_TRUE(window->document().hasUnsavedChanges());
    EXPECT_EQ(readText(doc), walkthrough);
    window->document().undoManager().undo();
    EXPECT_EQ(model.content().size(), 1u);
    EXPECT_EQ(mark({"--to", doc, "--after", "pathwick-NONE", source + ":1"}).first, 1);
    EXPECT_EQ(readText(source), "def main():\n    # " + id + " run()\n    run()\n");

    // With the window closed, the document on disk takes the box.
    closeWindows();
    ASSERT_EQ(mark({"--to", doc, "--editor", "Vim", source + ":1"}).first, 0);
    EXPECT_NE(readText(doc), walkthrough);
    EXPECT_NE(readText(doc).find("\"def main():\""), std::string::npos);

    // `pathwicks FILE` hands the file over; the running instance opens it.
    EXPECT_TRUE(whileServing([&] { return handOverFiles({doc}); }));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const auto& windows = application->windows();
        return std::count_if(windows.begin(), windows.end(), [](const auto& w) { return !w.isNull(); }) == 1;
    }));
}

TEST_F(PlaceMarkerWindowTest, PlacesAndRemovesTheSelectedBoxsMarker) {
    const std::string source = write("src/tool.c", "int main() {\n\treturn 0;\n}\n");
    write("build/ignored.c", "int x;\n");
    write(".gitignore", "build/\n");
    DocumentWindow* window = open(write("walk.pathwicks", walkthrough));
    ASSERT_TRUE(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->markerCheck().states().has_value(); }, 20000));
    const ReferencePtr box = window->document().model().content().front();
    window->view().showReference(box);
    EXPECT_EQ(window->markerCheck().states()->stateOf(*box), MarkerState::missing);

    openPlaceMarker(*window);
    auto* dialog = window->findChild<PlaceMarkerDialog*>();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->isListed(); }, 20000));
    EXPECT_EQ(dialog->filterField().text(), "Start");
    dialog->filterField().setText(".c");
    ASSERT_EQ(dialog->fileList().count(), 1); // the ignored file is not offered
    EXPECT_EQ(dialog->fileList().item(0)->text(), "src/tool.c");
    dialog->lineList().setFocus();
    QTest::keyClick(&dialog->lineList(), Qt::Key_Down);
    QTest::keyClick(&dialog->lineList(), Qt::Key_Return);
    EXPECT_EQ(readText(source), "int main() {\n\t// pathwick-ONE Start\n\treturn 0;\n}\n");
    EXPECT_EQ(window->markerCheck().states()->stateOf(*box), MarkerState::found);

    dialogs.confirmed = true;
    removeMarkerFromCode(*window);
    EXPECT_EQ(readText(source), "int main() {\n\treturn 0;\n}\n");
    EXPECT_EQ(window->markerCheck().states()->stateOf(*box), MarkerState::missing);

    // Duplicate gives the copy an id of its own.
    window->view().duplicateSelection();
    const auto& content = window->document().model().content();
    ASSERT_EQ(content.size(), 2u);
    EXPECT_NE(content[1]->id, box->id);
    EXPECT_TRUE(content[1]->id.starts_with("pathwick-"));
}

// Lines sent at once are answered in turn, a line that is no JSON is told so, a second instance
// finds the first listening, and a client that sends more than any request without ending its
// line is hung up on.
TEST(SingleInstanceTest, AnswersEachLineAndHangsUpOnAnEndlessOne) {
    // A folder of its own, so that no other test's instance answers there.
    QTemporaryDir runtime;
    const QByteArray before = qgetenv("XDG_RUNTIME_DIR");
    ASSERT_TRUE(qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit()));
    SingleInstance instance([](const nlohmann::json& request) { return nlohmann::json{{"got", request}}; });
    ASSERT_TRUE(instance.listen());
    EXPECT_FALSE(SingleInstance([](const nlohmann::json&) { return nlohmann::json(); }).listen());

    const std::string path = *cli::instanceSocketPath();
    const auto [replies, hungUp] = whileServing([path] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        const timeval patience{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
        const std::string lines = "{\"a\": 1}\n{\"b\": 2}\nnot json\n";
        ::send(fd, lines.data(), lines.size(), MSG_NOSIGNAL);
        std::string replies;
        char buffer[256];
        while (std::count(replies.begin(), replies.end(), '\n') < 3) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            replies.append(buffer, size_t(n));
        }
        const auto gone = [](ssize_t n) { return n == 0 || (n < 0 && (errno == EPIPE || errno == ECONNRESET)); };
        const std::string endless(4 << 20, 'x');
        const bool refused = gone(::send(fd, endless.data(), endless.size(), MSG_NOSIGNAL)) ||
                             gone(::recv(fd, buffer, sizeof buffer, 0));
        ::close(fd);
        return std::pair(replies, refused);
    });
    EXPECT_EQ(replies, "{\"got\":{\"a\":1}}\n{\"got\":{\"b\":2}}\n{\"error\":\"not JSON\"}\n");
    EXPECT_TRUE(hungUp);
    qputenv("XDG_RUNTIME_DIR", before);
}
