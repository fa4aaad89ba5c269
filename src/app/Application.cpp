#include "app/Application.h"

#include "app/CanvasWidget.h"
#include "app/DocumentWindow.h"
#include "app/PlainText.h"
#include "app/RecoveryKeeper.h"
#include "app/StartWindow.h"
#include "app/WindowMarkerCheck.h"
#include "model/Document.h"
#include "model/MarkedBox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QTimer>

#include <nlohmann/json.hpp>
#include <QSocketNotifier>

#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <new>

namespace pathwicks {

namespace {

constexpr int maxRecentFiles = 10;

// The longest the last recovery copies may take when a signal ends the program.
constexpr std::chrono::milliseconds lastCopiesWait{3000};

// The signal handler's end of a pair of sockets whose other end the event loop watches.
int signalSocket = -1;

void noteSignal(int signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalSocket, &number, 1);
    errno = saved;
}
const char* const recentFilesKey = "recentFiles";

std::filesystem::path canonical(const std::string& path) {
    std::error_code error;
    auto resolved = std::filesystem::weakly_canonical(path, error);
    return error ? std::filesystem::path(path) : resolved;
}

QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

Application::Application() {
    // The program quits by Quit, or by closing the start window with no document open: closing
    // the last document brings the start window back instead.
    QApplication::setQuitOnLastWindowClosed(false);
}

Application::~Application() {
    if (startWindow_) {
        QObject::disconnect(startWindow_, nullptr, this, nullptr);
        delete startWindow_;
    }
}

bool Application::openFiles(const std::vector<std::string>& paths) {
    bool opened = false;
    for (const std::string& path : paths)
        opened = openPath(path) != nullptr || opened;
    return opened;
}

DocumentWindow* Application::openFile(const QString& path, QWidget* messageParent) {
    return openPath(QFile::encodeName(path).toStdString(), messageParent);
}

DocumentWindow* Application::openPath(const std::string& path, QWidget* messageParent) {
    if (DocumentWindow* open = windowFor(path)) {
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    if (DocumentWindow* restored = recovery_.offerFor(fromPath(path), messageParent))
        return restored;

    const QString name = fromPath(std::filesystem::path(path).filename().string());
    std::string why;
    try {
        auto loaded = Document::load(path);
        if (auto* document = std::get_if<std::unique_ptr<Document>>(&loaded)) {
            const QString opened = fromPath((*document)->path());
            DocumentWindow* window = showDocument(std::move(*document));
            noteRecentFile(opened);
            return window;
        }
        why = std::get<DocumentFile::LoadError>(loaded).sentence;
    } catch (const std::bad_alloc&) {
        // The other windows and their unsaved work stay; only this document is refused.
        why = "There is not enough memory to open it.";
    }
    dialogs().reportFailure(messageParent,
                            tr("The document “%1” could not be opened.").arg(name),
                            QString::fromStdString(why));
    return nullptr;
}

void Application::openWithDialog(QWidget* parent) {
    for (const QString& path : dialogs().askOpenPaths(parent, lastFolder()))
        openFile(path, parent);
}

void Application::newDocument() { showDocument(std::make_unique<Document>()); }

DocumentWindow* Application::showDocument(std::unique_ptr<Document> document) {
    auto* window = new DocumentWindow(*this, std::move(document));
    track(window);
    window->show();
    return window;
}

void Application::showStartWindow() {
    if (!startWindow_) {
        startWindow_ = new StartWindow(*this);
        connect(startWindow_, &QObject::destroyed, this, [this] {
            if (std::none_of(windows_.begin(), windows_.end(),
                             [](const QPointer<DocumentWindow>& w) { return !w.isNull(); }))
                QApplication::quit();
        });
    }
    startWindow_->show();
    startWindow_->raise();
    startWindow_->activateWindow();
}

void Application::documentWindowClosed() {
    std::erase_if(windows_, [](const QPointer<DocumentWindow>& w) { return w.isNull(); });
    if (windows_.empty() && !quitting_)
        showStartWindow();
}

void Application::track(DocumentWindow* window) {
    std::erase_if(windows_, [](const QPointer<DocumentWindow>& w) { return w.isNull(); });
    windows_.emplace_back(window);
    // Once the window is gone, after the event that closed it.
    connect(window, &QObject::destroyed, this,
            [this] { QTimer::singleShot(0, this, [this] { documentWindowClosed(); }); });
    // The start window has done its part once a document is open.
    if (startWindow_)
        startWindow_->close();
}

DocumentWindow* Application::windowFor(const std::string& path) const {
    const auto wanted = canonical(path);
    for (const auto& window : windows_) {
        if (window && !window->document().path().empty() &&
            canonical(window->document().path()) == wanted)
            return window;
    }
    return nullptr;
}

nlohmann::json Application::answerInstance(const nlohmann::json& request) {
    if (const auto files = request.find("open"); files != request.end() && files->is_array()) {
        std::vector<std::string> paths;
        for (const auto& file : *files)
            if (file.is_string())
                paths.push_back(file.get<std::string>());
        // After the reply: opening may ask the user, and the other start is waiting.
        QTimer::singleShot(0, this, [this, paths] {
            if (paths.empty() || (!openFiles(paths) && windows_.empty()))
                showStartWindow();
        });
        return {{"ok", true}};
    }
    const auto mark = request.find("mark");
    const auto wanted = mark == request.end() ? std::nullopt : markedBoxRequest(*mark);
    if (!wanted)
        return {{"error", "unknown request"}};
    DocumentWindow* window = windowFor(wanted->document);
    if (!window)
        return {{"open", false}};
    if (auto why = addMarkedBox(*window, *wanted, mark->value("dryRun", false)))
        return {{"open", true}, {"error", *why}};
    return {{"open", true}};
}

std::optional<std::string> Application::addMarkedBox(DocumentWindow& window,
                                                     const MarkedBoxRequest& request, bool dryRun) {
    StepsModel& model = window.document().model();
    auto made = makeMarkedBox(model, request, measurer_);
    if (auto* why = std::get_if<std::string>(&made))
        return *why;
    if (dryRun)
        return std::nullopt;
    const auto& [box, from] = std::get<MarkedBox>(made);
    window.canvasWidget().finishGesture();
    auto content = model.content();
    content.push_back(box);
    auto arrows = model.arrows;
    if (from)
        arrows.emplace_back(from, box);
    UndoManager& undo = window.document().undoManager();
    undo.beginGroup();
    window.canvas().setContentAndArrows(std::move(content), std::move(arrows));
    undo.endGroup();
    window.canvasWidget().fitToContent();
    window.view().showReference(box);
    // The marker was written just before: the box's state follows.
    window.markerCheck().start();
    return std::nullopt;
}

void Application::quit() {
    quitting_ = true;
    for (const auto& window : std::vector(windows_)) {
        if (window && !window->close()) {
            quitting_ = false;
            return;
        }
    }
    if (startWindow_)
        startWindow_->close();
    QApplication::quit();
}

void Application::endOnSignals() {
    int sockets[2];
    if (signalSocket >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0)
        return;
    ::fcntl(sockets[0], F_SETFL, O_NONBLOCK);
    ::fcntl(sockets[1], F_SETFL, O_NONBLOCK);
    signalSocket = sockets[0];
    auto* notifier = new QSocketNotifier(sockets[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, socket = sockets[1]] {
        unsigned char number = 0;
        if (::read(socket, &number, 1) == 1)
            endBySignal(number);
    });
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

void Application::endBySignal(int signal) {
    for (const auto& window : windows_)
        if (window)
            window->recovery().keepForNextStart();
    RecoveryKeeper::waitForWrites(lastCopiesWait);
    // Ended by the signal itself, as whoever sent it expects.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);
}

QStringList Application::recentFiles() const {
    return QSettings().value(recentFilesKey).toStringList();
}

void Application::noteRecentFile(const QString& path) {
    const QStringList before = recentFiles();
    QStringList files = before;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > maxRecentFiles)
        files.removeLast();
    // Opening the latest document again writes nothing (a write waits on the disk).
    if (files == before)
        return;
    QSettings().setValue(recentFilesKey, files);
    emit recentFilesChanged();
}

void Application::clearRecentFiles() {
    QSettings().remove(recentFilesKey);
    emit recentFilesChanged();
}

QMenu* Application::makeRecentMenu(QWidget* parent) {
    auto* menu = new QMenu(tr("Open &Recent"), parent);
    auto rebuild = [this, menu, parent] {
        menu->clear();
        const QStringList files = recentFiles();
        for (const QString& file : files) {
            menu->addAction(plainMenuText(QFileInfo(file).fileName()), this, [this, file, parent] {
                openFile(file, parent);
            })->setToolTip(plainToolTip(file));
        }
        if (!files.isEmpty())
            menu->addSeparator();
        menu->addAction(tr("Clear Menu"), this, &Application::clearRecentFiles)
            ->setEnabled(!files.isEmpty());
    };
    rebuild();
    connect(this, &Application::recentFilesChanged, menu, rebuild);
    return menu;
}

QString Application::lastFolder() const {
    const QStringList files = recentFiles();
    return files.isEmpty() ? QDir::homePath() : QFileInfo(files.front()).absolutePath();
}

} // namespace pathwicks
