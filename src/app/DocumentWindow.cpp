#include "app/DocumentWindow.h"

#include "app/AddView.h"
#include "app/Application.h"
#include "app/CanvasWidget.h"
#include "app/DetailPanelWidget.h"
#include "app/QtLaunchHost.h"
#include "canvas/AddGesture.h"
#include "model/Bundle.h"
#include "model/DocumentFile.h"
#include "model/FileIO.h"
#include "panel/EditorCatalogue.h"
#include "panel/ReferenceLauncher.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <cmath>
#include <cstdlib>

namespace pathwicks {

namespace {

constexpr QSize kMinimumSize(480, 320);
constexpr QSize kDefaultSize(1000, 700);
constexpr int kPanelMinimumWidth = 180;
constexpr int kPanelMaximumWidth = 240;

QString displayName(const QString& path) {
    return path.isEmpty() ? DocumentWindow::tr("Untitled") : QFileInfo(path).fileName();
}

QRect toQRect(const Rect& r) {
    auto whole = [](double v) { return int(std::lround(v)); };
    return QRect(whole(r.x), whole(r.y), whole(r.width), whole(r.height));
}

} // namespace

DocumentWindow::DocumentWindow(Application& application, std::optional<nlohmann::json> content,
                               const QString& path)
    : application_(application), canvas_(std::make_shared<Canvas>(model_)),
      content_(std::move(content)), path_(path) {
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(kMinimumSize);
    if (!path_.isEmpty())
        stamp_ = FileStamp::of(path_.toStdString());

    scrollArea_ = new QScrollArea(this);
    scrollArea_->setWidgetResizable(false);
    scrollArea_->setFrameShape(QFrame::NoFrame);
    canvasWidget_ = new CanvasWidget(canvas_, application_.measurer(), *scrollArea_);
    canvasWidget_->setUndoManager(&undo_);
    scrollArea_->setWidget(canvasWidget_);

    // Installed editors are looked for once, as the window opens.
    const char* pathList = std::getenv("PATH");
    const char* home = std::getenv("HOME");
    editors_.detectEditors(pathList ? pathList : "", home ? home : "");
    panel_ = new DetailPanelWidget(*canvas_, editors_, application_.measurer(), this);
    // A quarter of the window, within bounds: small windows keep most of their width for the
    // canvas, large ones do not get a wide empty panel.
    panel_->setMinimumWidth(kPanelMinimumWidth);
    panel_->setMaximumWidth(kPanelMaximumWidth);
    canvasWidget_->onUpdateDetailPanel = [this] { panel_->updateDetailPanel(); };
    canvasWidget_->onGotoReference = [this](const ReferencePtr& reference) {
        gotoReference(reference);
    };
    tellUser = [this](const QString& message) {
        QMessageBox::warning(this, tr("Pathwicks"), message);
    };

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(scrollArea_, 3);
    auto* divider = new QFrame(central);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    row->addWidget(divider);
    row->addWidget(panel_, 1);
    setCentralWidget(central);

    addView_ = new AddView(scrollArea_, application_.measurer());
    logo_ = new QLabel(tr("Pathwicks"), scrollArea_);
    logo_->setObjectName("logo");
    logo_->setAttribute(Qt::WA_TransparentForMouseEvents);
    logo_->setStyleSheet("color: rgba(60, 60, 60, 110); font-weight: bold; font-size: 14px;");
    logo_->adjustSize();
    scrollArea_->installEventFilter(this);
    scrollArea_->viewport()->installEventFilter(this);
    scrollArea_->verticalScrollBar()->installEventFilter(this);

    undo_.changed = [this] {
        updateTitle();
        updateUndoActions();
    };
    buildMenus();
    connect(panel_, &DetailPanelWidget::shownChanged, this, &DocumentWindow::updatePanelActions);
    updatePanelActions();
    updateTitle();
    updateUndoActions();

    fileFrame_ = content_ ? DocumentFile::windowFrame(*content_) : std::nullopt;
    applyFrame(fileFrame_);
}

DocumentWindow::~DocumentWindow() {
    canvasWidget_->setUndoManager(nullptr);
    canvasWidget_->onUpdateDetailPanel = nullptr;
    undo_.removeObserver(willUndoObserver_);
    undo_.removeObserver(willRedoObserver_);
    undo_.changed = nullptr;
    canvas_->model().redraw = nullptr;
}

void DocumentWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New"), QKeySequence::New, &application_, &Application::newDocument);
    file->addAction(tr("&Open…"), QKeySequence::Open, this, [this] { application_.openWithDialog(this); });
    file->addMenu(application_.makeRecentMenu(this));
    file->addSeparator();
    file->addAction(tr("&Save"), QKeySequence::Save, this, &DocumentWindow::save);
    file->addAction(tr("Save &As…"), QKeySequence::SaveAs, this, &DocumentWindow::saveAs);
    file->addSeparator();
    file->addAction(tr("&Close"), QKeySequence::Close, this, &QWidget::close);
    QAction* quit = file->addAction(tr("&Quit"), QKeySequence::Quit, &application_, &Application::quit);
    quit->setMenuRole(QAction::QuitRole);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    // While a mouse button is held, the gesture in progress owns the document.
    undoAction_ = edit->addAction(tr("&Undo"), QKeySequence::Undo, this, [this] {
        if (!canvasWidget_->isButtonHeld())
            undo_.undo();
    });
    redoAction_ = edit->addAction(tr("&Redo"), QKeySequence::Redo, this, [this] {
        if (!canvasWidget_->isButtonHeld())
            undo_.redo();
    });

    edit->addSeparator();
    edit->addAction(tr("&Delete"), this, [this] {
        undo_.beginGroup();
        canvas_->deleteSelection();
        undo_.endGroup();
    });
    QAction* selectAll = edit->addAction(tr("Select &All"), QKeySequence::SelectAll, this,
                                         [this] { canvas_->selectAll(); });
    // Line edits in the panel keep Ctrl+A for their own text.
    selectAll->setShortcutContext(Qt::WindowShortcut);
    edit->addSeparator();
    copyMarkerAction_ =
        edit->addAction(tr("&Copy Marker Line"), this, [this] { panel_->copyMarker(false); });
    // Some desktops take Alt-click for themselves: the copy button's attach, from the menu.
    attachMarkerAction_ = edit->addAction(tr("A&ttach to Marker Line on Clipboard"), this,
                                          [this] { panel_->copyMarker(true); });
    buildEditorMenu();

    // The keyboard's way to the add button: the new item lands in the middle of the view.
    QMenu* insert = menuBar()->addMenu(tr("&Insert"));
    insert->addAction(tr("&Reference"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), this,
                      [this] { insertAtVisibleCentre(adding::insertReference); });
    insert->addAction(tr("&Label"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L), this,
                      [this] { insertAtVisibleCentre(adding::insertLabel); });
    application_.addHelpMenu(menuBar());
}

void DocumentWindow::buildEditorMenu() {
    // The pop-up's choices, reachable from the keyboard.
    editorMenu_ = menuBar()->addMenu(tr("E&ditor"));
    auto* group = new QActionGroup(editorMenu_);
    for (const Editor& editor : editorCatalogue()) {
        const QString name = QString::fromUtf8(editor.name.data(), qsizetype(editor.name.size()));
        QAction* action = editorMenu_->addAction(name, this, [this, name] {
            if (panel_->panel().shownReference())
                panel_->panel().editorChosen(name.toStdString());
        });
        action->setCheckable(true);
        group->addAction(action);
    }
    connect(editorMenu_, &QMenu::aboutToShow, this, &DocumentWindow::updateEditorMenu);
}

void DocumentWindow::updateEditorMenu() {
    const ReferencePtr shown = panel_->panel().shownReference();
    for (QAction* action : editorMenu_->actions()) {
        const std::string name = action->text().toStdString();
        action->setEnabled(shown && editors_.isEditorAvailable(name));
        action->setChecked(shown && shown->editor == name);
    }
}

void DocumentWindow::updatePanelActions() {
    const ReferencePtr shown = panel_->panel().shownReference();
    const bool copyable = shown && !shown->isWebAddress();
    copyMarkerAction_->setEnabled(copyable);
    attachMarkerAction_->setEnabled(copyable);
    updateEditorMenu();
}

void DocumentWindow::gotoReference(const ReferencePtr& reference) {
    if (!filepath_) {
        tellUser(tr("Save the document first: references are looked for in the folder of its "
                    "file."));
        return;
    }
    const QString folder = QFileInfo(*filepath_).absolutePath();
    QtLaunchHost host;
    if (auto failure = launchEditor(*reference, folder.toStdString(), bundlePath(), host))
        tellUser(
            tr("“%1” could not be opened.").arg(QString::fromStdString(reference->displayTitle())) +
            "\n\n" + QString::fromStdString(*failure));
}

void DocumentWindow::insertAtVisibleCentre(void (*insert)(Canvas&, Point)) {
    const QWidget* viewport = scrollArea_->viewport();
    const QPoint centre = canvasWidget_->mapFrom(viewport, viewport->rect().center());
    undo_.beginGroup();
    insert(*canvas_, Point{double(centre.x()), double(centre.y())});
    undo_.endGroup();
    canvasWidget_->fitToContent();
    canvasWidget_->setFocus();
}

void DocumentWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // A window that loses the focus in the middle of a drag (a dialog, another window) may
    // never see the release: end the gesture now, so its changes are recorded.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && canvasWidget_)
        canvasWidget_->finishGesture();
}

void DocumentWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!appeared_) {
        appeared_ = true;
        firstAppearance();
    }
}

void DocumentWindow::firstAppearance() {
    // The canvas finishes whatever is in progress before each undo and redo.
    std::weak_ptr<Canvas> weakCanvas = canvas_;
    // A name being typed is committed first, as its own step.
    willUndoObserver_ = undo_.addWillUndoObserver([this, weakCanvas] {
        panel_->panel().nameEditEnded();
        if (auto canvas = weakCanvas.lock())
            canvas->willUndo();
    });
    willRedoObserver_ = undo_.addWillRedoObserver([this, weakCanvas] {
        panel_->panel().nameEditEnded();
        if (auto canvas = weakCanvas.lock())
            canvas->willRedo();
    });

    if (content_) {
        canvas_->model().decode(&*content_);
        if (auto it = content_->find("path"); it != content_->end() && it->is_string())
            filepath_ = QString::fromStdString(it->get<std::string>());
        content_.reset();
    } else if (path_.isEmpty()) {
        // A new document is named by its user right away, once.
        QTimer::singleShot(0, this, [this] { saveAs(); });
    }
    canvasWidget_->fitToContent();
    placeOverlays();

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

void DocumentWindow::applyFrame(const std::optional<Rect>& frame) {
    // A frame without area (text that read as the zero rectangle) places nothing.
    const bool usable = frame && frame->width > 0 && frame->height > 0;
    QRect wanted = usable ? toQRect(*frame) : QRect(QPoint(), kDefaultSize);
    QScreen* screen = usable ? QGuiApplication::screenAt(wanted.center()) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);

    wanted.setWidth(std::clamp(wanted.width(), kMinimumSize.width(),
                               std::max(kMinimumSize.width(), available.width())));
    wanted.setHeight(std::clamp(wanted.height(), kMinimumSize.height(),
                                std::max(kMinimumSize.height(), available.height())));
    if (!usable || !available.intersects(wanted)) {
        wanted.moveCenter(available.center());
    } else {
        // Keep the whole frame on the screen where it fits, and its top left always.
        wanted.moveLeft(std::clamp(wanted.left(), available.left(),
                                   std::max(available.left(), available.right() + 1 - wanted.width())));
        wanted.moveTop(std::clamp(wanted.top(), available.top(),
                                  std::max(available.top(), available.bottom() + 1 - wanted.height())));
    }
    if (frame && wanted != toQRect(*frame))
        fileFrame_.reset(); // the file's frame was not usable as it stood: save what is shown
    move(wanted.topLeft());
    resize(wanted.size());
}

Rect DocumentWindow::frameToSave() const {
    if (fileFrame_ && frameGeometry() == shownFrame_)
        return *fileFrame_;
    const QRect frame = frameGeometry();
    return Rect{double(frame.x()), double(frame.y()), double(frame.width()), double(frame.height())};
}

bool DocumentWindow::save() {
    if (path_.isEmpty())
        return saveAs();
    if (!confirmOverwriteOfChangedFile())
        return false;
    return writeTo(path_);
}

bool DocumentWindow::saveAs() {
    QString suggested = path_;
    if (suggested.isEmpty())
        suggested = application_.lastFolder() + "/" + tr("Untitled") + ".pathwicks";
    QString chosen = chooseSavePath ? chooseSavePath(suggested)
                                    : QFileDialog::getSaveFileName(this, tr("Save Document"),
                                                                   suggested,
                                                                   Application::fileFilter());
    if (chosen.isEmpty())
        return false;
    if (QFileInfo(chosen).suffix().isEmpty())
        chosen += ".pathwicks";
    if (!writeTo(chosen))
        return false;
    return true;
}

bool DocumentWindow::confirmOverwriteOfChangedFile() {
    const auto now = FileStamp::of(path_.toStdString());
    if (now == stamp_)
        return true;
    const QString name = displayName(path_);
    QMessageBox box(QMessageBox::Warning, tr("Pathwicks"),
                    now ? tr("The file “%1” has been changed by another program since you opened "
                             "or saved it.").arg(name)
                        : tr("The file “%1” has been moved or deleted by another program since "
                             "you opened or saved it.").arg(name),
                    QMessageBox::Cancel, this);
    box.setInformativeText(now ? tr("Saving replaces those changes with this document.")
                               : tr("Saving writes this document there again."));
    QPushButton* saveAnyway = box.addButton(tr("Save Anyway"), QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == saveAnyway;
}

bool DocumentWindow::writeTo(const QString& path) {
    const auto bytes = DocumentFile::bytes(canvas_->model(), frameToSave());
    std::optional<std::string> failure;
    if (!bytes)
        failure = tr("The document holds text that cannot be written as JSON.").toStdString();
    else if (auto error = saveSteps ? writeFileAtomically(path.toStdString(), *bytes, *saveSteps)
                                    : writeFileAtomically(path.toStdString(), *bytes))
        failure = error->message;
    if (failure) {
        QMessageBox box(QMessageBox::Critical, tr("Pathwicks"),
                        tr("The document “%1” could not be saved.").arg(displayName(path)),
                        QMessageBox::Ok, this);
        box.setInformativeText(QString::fromStdString(*failure) + "\n\n" +
                               tr("Nothing was written. Your changes are still here; try "
                                  "saving somewhere else with Save As."));
        box.exec();
        return false;
    }
    path_ = path;
    filepath_ = path;
    stamp_ = FileStamp::of(path.toStdString());
    undo_.markSaved();
    application_.noteRecentFile(path);
    updateTitle();
    return true;
}

bool DocumentWindow::maybeSave() {
    if (!undo_.hasUnsavedChanges())
        return true;
    QMessageBox box(QMessageBox::Warning, tr("Pathwicks"),
                    tr("Do you want to save the changes you made to “%1”?").arg(displayName(path_)),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setInformativeText(tr("Your changes will be lost if you don’t save them."));
    box.button(QMessageBox::Discard)->setText(tr("Don’t Save"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

void DocumentWindow::updateTitle() {
    setWindowTitle(displayName(path_) + "[*] — Pathwicks");
    setWindowFilePath(path_);
    setWindowModified(undo_.hasUnsavedChanges());
}

void DocumentWindow::updateUndoActions() {
    undoAction_->setEnabled(undo_.canUndo());
    redoAction_->setEnabled(undo_.canRedo());
}

bool DocumentWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (watched == scrollArea_ || watched == scrollArea_->viewport() ||
            watched == scrollArea_->verticalScrollBar()) {
            placeOverlays();
            scheduleFit();
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void DocumentWindow::scheduleFit() {
    QTimer::singleShot(0, canvasWidget_, [widget = canvasWidget_] { widget->fitToContent(); });
}

void DocumentWindow::placeOverlays() {
    const QRect visible = scrollArea_->viewport()->geometry();
    addView_->move(visible.topLeft());
    addView_->raise();
    // The logo sits at the bottom right, clear of the vertical scroller when it shows.
    const QScrollBar* scroller = scrollArea_->verticalScrollBar();
    const int right = scroller->isVisible() ? scroller->width() + 3 : 3;
    const int bottom = scrollArea_->horizontalScrollBar()->isVisible()
                           ? scrollArea_->horizontalScrollBar()->height() + 3
                           : 3;
    logo_->move(scrollArea_->width() - right - logo_->width(),
                scrollArea_->height() - bottom - logo_->height());
    logo_->raise();
}

} // namespace pathwicks
