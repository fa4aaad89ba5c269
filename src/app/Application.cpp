#include "app/Application.h"

#include "app/DocumentWindow.h"
#include "app/StartWindow.h"
#include "model/Document.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <new>

namespace pathwicks {

namespace {

constexpr int maxRecentFiles = 10;
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

QStringList Application::recentFiles() const {
    return QSettings().value(recentFilesKey).toStringList();
}

void Application::noteRecentFile(const QString& path) {
    QStringList files = recentFiles();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > maxRecentFiles)
        files.removeLast();
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
            menu->addAction(QFileInfo(file).fileName(), this, [this, file, parent] {
                openFile(file, parent);
            })->setToolTip(file);
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
