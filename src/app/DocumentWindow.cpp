#include "app/DocumentWindow.h"

#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/DetailPanelWidget.h"
#include "app/EditorMenu.h"
#include "app/FramePlacement.h"
#include "app/RecoveryKeeper.h"
#include "app/TourMode.h"
#include "app/UserDialogs.h"
#include "app/WindowMarkerCheck.h"
#include "canvas/AddGesture.h"
#include "model/FileIO.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <cmath>
#include <filesystem>

namespace pathwicks {

namespace {

constexpr QSize leastWindowSize(480, 320);
constexpr Size defaultSize{1000, 700};

// The last part of a path, which may hold bytes that are not UTF-8, for showing.
QString fileName(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(std::filesystem::path(path).filename().string()));
}

QRect toQRect(const Rect& r) {
    auto whole = [](double v) { return int(std::lround(v)); };
    return QRect(whole(r.x), whole(r.y), whole(r.width), whole(r.height));
}

Rect toRect(const QRect& r) {
    return Rect{double(r.x()), double(r.y()), double(r.width()), double(r.height())};
}

std::vector<ScreenArea> screenAreas() {
    std::vector<ScreenArea> areas;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas.push_back({toRect(primary->geometry()), toRect(primary->availableGeometry())});
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            areas.push_back({toRect(screen->geometry()), toRect(screen->availableGeometry())});
    }
    return areas;
}

} // namespace

DocumentWindow::DocumentWindow(Application& application, std::unique_ptr<Document> document)
    : application_(application), document_(std::move(document)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(leastWindowSize);
    view_ = new DocumentView(*document_, application_.measurer(), application_.dialogs(), this);
    setCentralWidget(view_);
    recovery_ = new RecoveryKeeper(*document_, [this] { return frameToSave(); },
                                   application_.dialogs(), this);
    markerCheck_ = new WindowMarkerCheck(*document_, *view_, *statusBar(), this);

    tour_ = new TourMode(*document_, *view_, *statusBar(), this);
    document_->undoManager().changed = [this] {
        updateTitle();
        updateUndoActions();
        recovery_->documentChanged();
        tour_->documentChanged();
    };
    buildMenus();
    connect(&view_->panel(), &DetailPanelWidget::shownChanged, this,
            &DocumentWindow::updatePanelActions);
    updatePanelActions();
    updateTitle();
    updateUndoActions();

    fileFrame_ = document_->savedFrame();
    placeFrame();
}

DocumentWindow::~DocumentWindow() {
    document_->undoManager().changed = nullptr;
    // The check's results are shown in the view: it ends first.
    delete markerCheck_;
    markerCheck_ = nullptr;
    delete recovery_;
    // The view works on the document: it goes first.
    delete view_;
    view_ = nullptr;
}

void DocumentWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New"), QKeySequence::New, &application_, &Application::newDocument);
    file->addAction(tr("&Open…"), QKeySequence::Open, this,
                    [this] { application_.openWithDialog(this); });
    file->addMenu(application_.makeRecentMenu(this));
    file->addSeparator();
    file->addAction(tr("&Save"), QKeySequence::Save, this, &DocumentWindow::save);
    // Bare X11 sessions give the standard Save As no key.
    file->addAction(tr("Save &As…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                    &DocumentWindow::saveAs);
    file->addSeparator();
    file->addAction(tr("&Close"), QKeySequence::Close, this, &QWidget::close);
    QAction* quit =
        file->addAction(tr("&Quit"), QKeySequence::Quit, &application_, &Application::quit);
    quit->setMenuRole(QAction::QuitRole);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    // While a mouse button is held, the gesture in progress owns the document.
    UndoManager& undo = document_->undoManager();
    undoAction_ = edit->addAction(tr("&Undo"), QKeySequence::Undo, this, [this, &undo] {
        if (!view_->canvasWidget().isButtonHeld())
            undo.undo();
    });
    redoAction_ = edit->addAction(tr("&Redo"), QKeySequence::Redo, this, [this, &undo] {
        if (!view_->canvasWidget().isButtonHeld())
            undo.redo();
    });

    edit->addSeparator();
    // The panel's and the find bar's fields keep these keys for their own text.
    const auto forWindow = [](QAction* action) { action->setShortcutContext(Qt::WindowShortcut); };
    forWindow(edit->addAction(tr("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X), view_,
                              &DocumentView::cutSelection));
    forWindow(edit->addAction(tr("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), view_,
                              &DocumentView::copySelection));
    forWindow(edit->addAction(tr("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), view_,
                              &DocumentView::paste));
    forWindow(edit->addAction(tr("D&uplicate"), QKeySequence(Qt::CTRL | Qt::Key_D), view_,
                              &DocumentView::duplicateSelection));
    edit->addAction(tr("&Delete"), this, [this, &undo] {
        undo.beginGroup();
        view_->canvas().deleteSelection();
        undo.endGroup();
    });
    QAction* selectAll = edit->addAction(tr("Select &All"), QKeySequence::SelectAll, this,
                                         [this] { view_->canvas().selectAll(); });
    // Line edits in the panel keep Ctrl+A for their own text.
    selectAll->setShortcutContext(Qt::WindowShortcut);
    edit->addSeparator();
    edit->addAction(tr("&Find…"), QKeySequence(Qt::CTRL | Qt::Key_F), view_,
                    &DocumentView::openFind);
    edit->addAction(tr("Find &Next"), QKeySequence(Qt::Key_F3), this,
                    [this] { view_->findNext(false); });
    edit->addAction(tr("Find Pre&vious"), QKeySequence(Qt::SHIFT | Qt::Key_F3), this,
                    [this] { view_->findNext(true); });
    edit->addSeparator();
    copyMarkerAction_ =
        edit->addAction(tr("Copy &Marker Line"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                        this, [this] { view_->panel().copyMarker(false); });
    // Some desktops take Alt-click for themselves: the copy button's attach, from the menu.
    attachMarkerAction_ = edit->addAction(tr("A&ttach to Marker Line on Clipboard"), this,
                                          [this] { view_->panel().copyMarker(true); });

    buildViewMenu();

    editorMenu_ = new EditorMenu(view_->panel(), view_->editors(), this);
    menuBar()->addMenu(editorMenu_);

    // The keyboard's way to the add button: the new item lands in the middle of the view.
    QMenu* insert = menuBar()->addMenu(tr("&Insert"));
    insert->addAction(tr("&Reference"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), this,
                      [this] { view_->insertAtVisibleCentre(adding::insertReference); });
    insert->addAction(tr("&Label"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L), this,
                      [this] { view_->insertAtVisibleCentre(adding::insertLabel); });
    buildArrangeMenu();
    application_.addHelpMenu(menuBar());
}

void DocumentWindow::buildViewMenu() {
    QMenu* view = menuBar()->addMenu(tr("&View"));
    buildZoomActions(*view);
    view->addSeparator();
    // The marker check, shown on the canvas and in the panel.
    view->addAction(tr("Check &Markers"), QKeySequence(Qt::Key_F5), this,
                    [this] { markerCheck_->start(true); });
    view->addAction(tr("&Next Problem"), QKeySequence(Qt::Key_F8), this,
                    [this] { markerCheck_->selectNextProblem(); });
    view->addSeparator();
    tour_->addActions(*view);
}

void DocumentWindow::buildZoomActions(QMenu& menu) {
    QMenu* view = &menu;
    CanvasWidget& canvas = view_->canvasWidget();
    QAction* zoomIn = view->addAction(tr("Zoom &In"), this,
                                      [&canvas] { canvas.setZoom(zoomedIn(canvas.zoom())); });
    zoomIn->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    view->addAction(tr("Zoom &Out"), QKeySequence(Qt::CTRL | Qt::Key_Minus), this,
                    [&canvas] { canvas.setZoom(zoomedOut(canvas.zoom())); });
    view->addAction(tr("&Actual Size"), QKeySequence(Qt::CTRL | Qt::Key_0), this,
                    [&canvas] { canvas.setZoom(1); });
    view->addAction(tr("&Fit to Window"), QKeySequence(Qt::CTRL | Qt::Key_9), this,
                    [&canvas] { canvas.fitToWindow(); });
    for (QAction* action : view->actions())
        action->setShortcutContext(Qt::WindowShortcut);

    zoomLabel_ = new QLabel(this);
    zoomLabel_->setObjectName("zoom");
    statusBar()->addPermanentWidget(zoomLabel_);
    const auto showZoom = [this](double zoom) {
        zoomLabel_->setText(tr("%1 %").arg(zoomPercent(zoom)));
    };
    canvas.onZoomChanged = showZoom;
    showZoom(canvas.zoom());
}

void DocumentWindow::buildArrangeMenu() {
    QMenu* arrange = menuBar()->addMenu(tr("&Arrange"));
    const std::pair<QString, Alignment> alignments[] = {
        {tr("Align &Left Edges"), Alignment::left},
        {tr("Align &Centres"), Alignment::centre},
        {tr("Align &Right Edges"), Alignment::right},
        {tr("Align &Top Edges"), Alignment::top},
        {tr("Align &Middles"), Alignment::middle},
        {tr("Align &Bottom Edges"), Alignment::bottom},
    };
    for (const auto& [name, alignment] : alignments) {
        arrange->addAction(name, this, [this, alignment] { view_->align(alignment); });
        if (alignment == Alignment::right)
            arrange->addSeparator();
    }
    arrange->addSeparator();
    arrange->addAction(tr("Distribute &Horizontally"), this,
                       [this] { view_->distribute(Distribution::horizontal); });
    arrange->addAction(tr("Distribute &Vertically"), this,
                       [this] { view_->distribute(Distribution::vertical); });
}

void DocumentWindow::updatePanelActions() {
    const ReferencePtr shown = view_->panel().panel().shownReference();
    const bool copyable = shown && !shown->isWebAddress();
    copyMarkerAction_->setEnabled(copyable);
    attachMarkerAction_->setEnabled(copyable);
    editorMenu_->updateEntries();
}

void DocumentWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // A window that loses the focus in the middle of a drag (a dialog, another window) may
    // never see the release: end the gesture now, so its changes are recorded.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && view_)
        view_->canvasWidget().finishGesture();
    // Back from elsewhere, where the code may have changed.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && appeared_ && markerCheck_)
        markerCheck_->start();
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
    // What the file holds that a save would not keep is told once, without waiting for an
    // answer, so that nobody loses hand-written entries unawares.
    if (!document_->unkeptParts().empty()) {
        QStringList parts;
        for (const std::string& part : document_->unkeptParts())
            parts << "• " + QString::fromStdString(part);
        QTimer::singleShot(0, this, [this, parts] {
            application_.dialogs().notify(
                this,
                tr("Saving “%1” will leave out part of what the file holds.").arg(displayName()),
                parts.join("\n"));
        });
    }
    view_->canvasWidget().fitToContent();
    markerCheck_->start();

    // The file's frame is the outer one: once the window manager has decorated the window,
    // take the decoration off the inside, then remember where the window stands, so that saving
    // a window that was not moved writes the file's frame text back unchanged.
    QTimer::singleShot(0, this, [this] {
        const QSize decoration = frameGeometry().size() - geometry().size();
        if (fileFrame_ && decoration != QSize(0, 0))
            resize(toQRect(*fileFrame_).size() - decoration);
        QTimer::singleShot(0, this, [this] { shownFrame_ = frameGeometry(); });
    });
}

void DocumentWindow::placeFrame() {
    const Size least{double(leastWindowSize.width()), double(leastWindowSize.height())};
    const Rect placed = pathwicks::placeFrame(fileFrame_, screenAreas(), least, defaultSize);
    if (fileFrame_ && toQRect(placed) != toQRect(*fileFrame_))
        fileFrame_.reset(); // the file's frame was not usable as it stood: save what is shown
    move(toQRect(placed).topLeft());
    resize(toQRect(placed).size());
}

Rect DocumentWindow::frameToSave() const {
    if (fileFrame_ && frameGeometry() == shownFrame_)
        return *fileFrame_;
    return toRect(frameGeometry());
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
    std::string path = QFile::encodeName(chosen).toStdString();
    if (QFileInfo(chosen).suffix().isEmpty()) {
        // The dialog asked about the name as typed; a file of the name written is asked about
        // here.
        path += ".pathwicks";
        if (std::filesystem::exists(std::filesystem::symlink_status(path)) &&
            !application_.dialogs().askToReplace(this, fileName(path)))
            return false;
    }
    return writeTo(path);
}

bool DocumentWindow::writeTo(const std::string& path) {
    if (auto failure = document_->save(path, frameToSave())) {
        application_.dialogs().reportFailure(
            this, tr("The document “%1” could not be saved.").arg(fileName(path)),
            QString::fromStdString(*failure) + "\n\n" +
                tr("Nothing was written. Your changes are still here; try saving somewhere "
                   "else with Save As."));
        return false;
    }
    application_.noteRecentFile(QFile::decodeName(QByteArray::fromStdString(path)));
    updateTitle();
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

QString DocumentWindow::displayName() const {
    const std::string& path = document_->path();
    return path.empty() ? tr("Untitled") : fileName(path);
}

void DocumentWindow::updateTitle() {
    setWindowTitle(displayName() + "[*] — Pathwicks");
    setWindowFilePath(QFile::decodeName(QByteArray::fromStdString(document_->path())));
    setWindowModified(document_->hasUnsavedChanges());
}

void DocumentWindow::updateUndoActions() {
    undoAction_->setEnabled(document_->undoManager().canUndo());
    redoAction_->setEnabled(document_->undoManager().canRedo());
}

} // namespace pathwicks
