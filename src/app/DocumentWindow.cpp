#include "app/DocumentWindow.h"

#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/CommandMenus.h"
#include "app/DetailPanelWidget.h"
#include "app/NoticeBar.h"
#include "app/PlainText.h"
#include "app/PlaceMarkerDialog.h"
#include "app/RecoveryKeeper.h"
#include "app/TourMode.h"
#include "app/UserDialogs.h"
#include "app/WatchedPaths.h"
#include "app/WindowFrame.h"
#include "app/WindowMarkerCheck.h"
#include "model/FileIO.h"
#include "model/SaveAsPath.h"

#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include <filesystem>

namespace pathwicks {

namespace {

constexpr QSize leastWindowSize(480, 320);
constexpr QSize defaultWindowSize(1000, 700);

// The last part of a path, which may hold bytes that are not UTF-8, for showing.
QString fileName(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(std::filesystem::path(path).filename().string()));
}

} // namespace

DocumentWindow::DocumentWindow(Application& application, std::unique_ptr<Document> document)
    : application_(application), document_(std::move(document)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(leastWindowSize);
    view_ = new DocumentView(*document_, application_.measurer(), application_.dialogs(), this);
    setCentralWidget(view_);
    frame_ = std::make_unique<WindowFrame>(*this, document_->savedFrame(), leastWindowSize,
                                           defaultWindowSize);
    recovery_ = new RecoveryKeeper(*document_, [this] { return frame_->toSave(); },
                                   application_.dialogs(), this);
    markerCheck_ = new WindowMarkerCheck(*document_, *view_, *statusBar(), this);
    tour_ = new TourMode(*document_, *view_, *statusBar(), this);

    view_->panel().onPlaceMarker = [this] { openPlaceMarker(*this); };
    menus_ = new CommandMenus(*this, windowCommands(), *menuBar());
    connect(&view_->panel(), &DetailPanelWidget::shownChanged, menus_, &CommandMenus::refresh);
    connect(tour_, &TourMode::activeChanged, menus_, &CommandMenus::refresh);
    changeListener_ = document_->undoManager().changed.add([this] {
        updateTitle();
        menus_->refresh();
    });
    showZoomInStatusBar();
    updateTitle();
    watchDocumentFile();
    frame_->place();
}

DocumentWindow::~DocumentWindow() {
    document_->undoManager().changed.remove(changeListener_);
    // What works on the document goes before it; the check's results are shown in the view,
    // so it ends first, and the view goes last.
    delete markerCheck_;
    delete recovery_;
    delete tour_;
    delete view_;
}

void DocumentWindow::showZoomInStatusBar() {
    auto* zoom = plainLabel(QString(), this);
    zoom->setObjectName("zoom");
    statusBar()->addPermanentWidget(zoom);
    const auto show = [zoom](double z) { zoom->setText(tr("%1 %").arg(zoomPercent(z))); };
    view_->canvasWidget().onZoomChanged = show;
    show(view_->canvasWidget().zoom());
}

void DocumentWindow::updateTitle() {
    // A "[*]" of the name is shown as it is, not taken for the mark of unsaved changes.
    setWindowTitle(QString(displayName()).replace("[*]", "[*][*]") + "[*] — Pathwicks");
    setWindowFilePath(QFile::decodeName(QByteArray::fromStdString(document_->path())));
    setWindowModified(document_->hasUnsavedChanges());
}

void DocumentWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // A window that loses the focus in the middle of a drag (a dialog, another window) may
    // never see the release: end the gesture now, so its changes are recorded.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && view_)
        view_->canvasWidget().finishGesture();
    // Back from elsewhere, where the code, the user's editors or the document may have changed.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && appeared_ &&
        markerCheck_) {
        view_->readEditors();
        markerCheck_->start();
        followDiskChange();
    }
}

void DocumentWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!appeared_) {
        appeared_ = true;
        firstAppearance();
    }
}

void DocumentWindow::firstAppearance() {
    // A new document is named by its user right away, once (not one restored after a crash).
    if (document_->path().empty() && !document_->hasUnsavedChanges())
        QTimer::singleShot(0, this, [this] { saveAs(); });
    tellUnkeptParts();
    view_->canvasWidget().fitToContent();
    markerCheck_->start();
    frame_->appeared();
}

void DocumentWindow::tellUnkeptParts() {
    // What the file holds that a save would not keep is told once, without waiting for an
    // answer, so that nobody loses hand-written entries unawares.
    if (document_->unkeptParts().empty())
        return;
    QStringList parts;
    for (const std::string& part : document_->unkeptParts())
        parts << "• " + QString::fromStdString(part);
    QTimer::singleShot(0, this, [this, parts] {
        application_.dialogs().notify(
            this, tr("Saving “%1” will leave out part of what the file holds.").arg(displayName()),
            parts.join("\n"));
    });
}

bool DocumentWindow::save() {
    if (document_->path().empty())
        return saveAs();
    if (isReadOnly(document_->path()))
        return application_.dialogs().askToSaveReadOnlyElsewhere(this, displayName()) && saveAs();
    const auto change = document_->changeOnDisk();
    if (change != Document::DiskChange::none &&
        !application_.dialogs().askToSaveOverChangedFile(this, displayName(),
                                                         change == Document::DiskChange::removed))
        return false;
    return writeTo(document_->path());
}

bool DocumentWindow::saveAs() {
    QString suggested = QString::fromStdString(document_->path());
    if (suggested.isEmpty())
        suggested = application_.lastFolder() + "/" + tr("Untitled") + ".pathwicks";
    const QString chosen = application_.dialogs().askSavePath(this, suggested);
    if (chosen.isEmpty())
        return false;
    const SaveAsPath target = saveAsPath(QFile::encodeName(chosen).toStdString());
    if (target.askToReplace && !application_.dialogs().askToReplace(this, fileName(target.path)))
        return false;
    return writeTo(target.path);
}

bool DocumentWindow::writeTo(const std::string& path) {
    if (auto failure = document_->save(path, frame_->toSave())) {
        application_.dialogs().reportFailure(
            this, tr("The document “%1” could not be saved.").arg(fileName(path)),
            QString::fromStdString(*failure) + "\n\n" +
                tr("Nothing was written. Your changes are still here; try saving somewhere "
                   "else with Save As."));
        return false;
    }
    application_.noteRecentFile(QFile::decodeName(QByteArray::fromStdString(path)));
    updateTitle();
    watchDocumentFile();
    markerCheck_->start();
    return true;
}

bool DocumentWindow::maybeSave() {
    if (!document_->hasUnsavedChanges())
        return true;
    switch (application_.dialogs().askToSaveChanges(this, displayName())) {
    case UserDialogs::UnsavedChanges::save:
        return save();
    case UserDialogs::UnsavedChanges::discard:
        return true;
    case UserDialogs::UnsavedChanges::cancel:
        break;
    }
    return false;
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

void DocumentWindow::watchDocumentFile() {
    if (document_->path().empty())
        return;
    if (!fileWatcher_) {
        fileWatcher_ = new WatchedPaths(this);
        // Another program's save may take several steps: it is followed once they settle.
        auto* settled = new QTimer(this);
        settled->setSingleShot(true);
        settled->setInterval(200);
        connect(settled, &QTimer::timeout, this, &DocumentWindow::followDiskChange);
        // A save elsewhere may replace the file: its folder tells of the new one.
        connect(fileWatcher_, &WatchedPaths::changed, settled, qOverload<>(&QTimer::start));
    }
    const QString file = QFile::decodeName(QByteArray::fromStdString(document_->path()));
    const QString folder = QFile::decodeName(QByteArray::fromStdString(document_->folder()));
    fileWatcher_->watch({file, folder});
}

void DocumentWindow::followDiskChange() {
    if (askingAboutDisk_ || document_->changeOnDisk() != Document::DiskChange::changed)
        return;
    const auto stamp = FileStamp::of(document_->path());
    if (document_->hasUnsavedChanges()) {
        if (keptOver_ == stamp)
            return;
        askingAboutDisk_ = true;
        const bool reload = application_.dialogs().askToReloadChangedFile(this, displayName());
        askingAboutDisk_ = false;
        if (!reload) {
            keptOver_ = stamp;
            return;
        }
    }
    // A file caught half written is read when the next change ends.
    if (!reloadFromDisk())
        view_->notice().showNotice(
            tr("“%1” was changed by another program and has been reloaded. Undo brings back "
               "what was here before.")
                .arg(displayName()));
    watchDocumentFile();
}

std::optional<std::string> DocumentWindow::reloadFromDisk() {
    view_->canvasWidget().finishGesture();
    if (auto failure = document_->reload())
        return failure;
    keptOver_.reset();
    updateTitle();
    markerCheck_->start();
    return std::nullopt;
}

void DocumentWindow::revert() {
    if (document_->path().empty())
        return;
    if (!application_.dialogs().confirm(
            this,
            tr("Revert “%1” to the file on disk, setting aside the changes made here?")
                .arg(displayName()),
            tr("Revert")))
        return;
    if (auto failure = reloadFromDisk())
        application_.dialogs().reportFailure(
            this, tr("The document “%1” could not be read again.").arg(displayName()),
            QString::fromStdString(*failure));
}

QString DocumentWindow::displayName() const {
    const std::string& path = document_->path();
    return path.empty() ? tr("Untitled") : fileName(path);
}

} // namespace pathwicks
