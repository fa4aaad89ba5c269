#include "app/Application.h"

#include "app/AboutBox.h"
#include "app/DocumentWindow.h"
#include "app/StartWindow.h"
#include "model/Document.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

namespace pathwicks {

namespace {

constexpr int maxRecentFiles = 10;
const char* const recentFilesKey = "recentFiles";

QString canonical(const QString& path) {
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}

} // namespace

Application::Application() = default;

Application::~Application() = default;

bool Application::openFiles(const QStringList& paths) {
    bool opened = false;
    for (const QString& path : paths)
        opened = openFile(path) != nullptr || opened;
    return opened;
}

DocumentWindow* Application::openFile(const QString& path, QWidget* messageParent) {
    if (DocumentWindow* open = windowFor(path)) {
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    if (DocumentWindow* restored = recovery_.offerFor(path, messageParent))
        return restored;

    auto loaded = Document::load(path.toStdString());
    if (auto* document = std::get_if<std::unique_ptr<Document>>(&loaded)) {
        const QString opened = QString::fromStdString((*document)->path());
        DocumentWindow* window = showDocument(std::move(*document));
        noteRecentFile(opened);
        return window;
    }
    dialogs().reportFailure(
        messageParent, tr("The document “%1” could not be opened.").arg(QFileInfo(path).fileName()),
        QString::fromStdString(std::get<DocumentFile::LoadError>(loaded).sentence));
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
    if (!startWindow_)
        startWindow_ = new StartWindow(*this);
    startWindow_->show();
    startWindow_->raise();
}

void Application::track(DocumentWindow* window) {
    std::erase_if(windows_, [](const QPointer<DocumentWindow>& w) { return w.isNull(); });
    windows_.emplace_back(window);
    // The start window has done its part once a document is open.
    if (startWindow_)
        startWindow_->close();
}

DocumentWindow* Application::windowFor(const QString& path) const {
    const QString wanted = canonical(path);
    for (const auto& window : windows_) {
        if (window && !window->document().path().empty() &&
            canonical(QString::fromStdString(window->document().path())) == wanted)
            return window;
    }
    return nullptr;
}

void Application::quit() {
    for (const auto& window : std::vector(windows_)) {
        if (window && !window->close())
            return;
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

void Application::addHelpMenu(QMenuBar* menuBar) {
    QMenu* help = menuBar->addMenu(tr("&Help"));
    QAction* about = help->addAction(tr("&About Pathwicks"), menuBar,
                                     [menuBar] { showAboutBox(menuBar->window()); });
    about->setMenuRole(QAction::AboutRole);
}

QString Application::lastFolder() const {
    const QStringList files = recentFiles();
    return files.isEmpty() ? QDir::homePath() : QFileInfo(files.front()).absolutePath();
}

} // namespace pathwicks
