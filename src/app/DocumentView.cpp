#include "app/DocumentView.h"

#include "app/CanvasScrollArea.h"
#include "app/CanvasWidget.h"
#include "app/DetailPanelWidget.h"
#include "app/FindBar.h"
#include "app/NoticeBar.h"
#include "app/QtLaunchHost.h"
#include "canvas/Clipboard.h"
#include "model/Bundle.h"
#include "model/Document.h"
#include "panel/PlaceLauncher.h"
#include "panel/ReferenceLauncher.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMimeData>
#include <QProcess>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sys/stat.h>

namespace pathwicks {

namespace {

constexpr int panelMinimumWidth = 180;
constexpr int panelMaximumWidth = 240;

// What tells a file's versions apart: its inode, size and time of change; empty when it is
// missing.
std::string fileStamp(const std::string& path) {
    struct stat info;
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return {};
    return std::to_string(info.st_ino) + ":" + std::to_string(info.st_size) + ":" +
           std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec);
}

} // namespace

DocumentView::DocumentView(Document& document, const QtTextMeasurer& measurer, UserDialogs& dialogs,
                           QWidget* parent)
    : QWidget(parent), document_(document), canvas_(std::make_shared<Canvas>(document.model())) {
    scrollArea_ = new CanvasScrollArea(measurer, this);
    canvasWidget_ = new CanvasWidget(canvas_, measurer, *scrollArea_);
    canvasWidget_->setUndoManager(&document_.undoManager());
    scrollArea_->setCanvas(canvasWidget_);

    notice_ = new NoticeBar(this);
    scrollArea_->setNotice(notice_);
    setUpOpening();
    readEditors();
    panel_ = new DetailPanelWidget(*canvas_, editors_, measurer, dialogs, this);
    canvasWidget_->onUpdateDetailPanel = [this] { panel_->updateDetailPanel(); };
    canvasWidget_->onGotoReference = [this](const ReferencePtr& r) { gotoReference(r); };
    canvasWidget_->chooseNewEditor = [this](const std::optional<std::string>& lastChosen) {
        return editors_.newReferenceEditor(lastChosen);
    };
    panel_->onOpenPlace = [this](const ReferencePtr& r, const MarkerLocation& place) {
        gotoPlace(r, place);
    };
    followUndo();
    arrange();
}

void DocumentView::setUpOpening() {
    launchHost_ = new QtLaunchHost(this);
    launchHost_->setObjectName("launchHost");
    launchHost_->onFinished = [this](const std::string& title, int status,
                                     const std::string& errorText) {
        showToolNotice(title, status, errorText);
    };
    launchHost_->onUrlFailed = [this](const std::string& title, const std::string& why) {
        notice_->showNotice(tr("“%1” could not be opened: %2.")
                                .arg(QString::fromStdString(title), QString::fromStdString(why)));
    };
}

void DocumentView::readEditors() {
    // Installed editors, and the user's own, are looked for as the window opens, and again
    // whenever the user's editors file has changed since; a broken file is named once a change.
    const EditorEnvironment environment = EditorEnvironment::ofThisProcess();
    const std::string stamp = fileStamp(userEditorsFile(environment));
    if (editorsStamp_ && *editorsStamp_ == stamp)
        return;
    const bool again = editorsStamp_.has_value();
    editorsStamp_ = stamp;
    editors_.detectEditors(environment);
    if (!editors_.userEditors().problem.empty())
        notice_->showNotice(tr("Your editors could not be read: %1")
                                .arg(QString::fromStdString(editors_.userEditors().problem)));
    if (again)
        panel_->refillEditors();
}

void DocumentView::followUndo() {
    // The canvas finishes whatever is in progress before each undo and redo, and a name or a
    // note being typed is committed first, as its own step.
    UndoManager& undo = document_.undoManager();
    willUndoObserver_ = undo.addWillUndoObserver([this] {
        panel_->panel().endEdits();
        canvas_->willUndo();
    });
    willRedoObserver_ = undo.addWillRedoObserver([this] {
        panel_->panel().endEdits();
        canvas_->willRedo();
    });
}

FindBar& DocumentView::findBar() {
    // Made the first time it is asked for, above the canvas.
    if (findBar_)
        return *findBar_;
    findBar_ = new FindBar(this);
    canvasColumn_->insertWidget(0, findBar_);
    connect(findBar_, &FindBar::textChanged, this, [this](const QString& text) {
        showFound(findStep(document_.model(), text.toStdString(), std::nullopt, false,
                           markerStates_));
    });
    connect(findBar_, &FindBar::next, this, [this] { findNext(false); });
    connect(findBar_, &FindBar::closed, this, [this] {
        findBar_->hide();
        canvasWidget_->setFocus();
    });
    return *findBar_;
}

void DocumentView::arrange() {
    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(scrollArea_, 1);
    canvasColumn_ = column;
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addLayout(column, 3);
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    row->addWidget(divider);
    // The panel scrolls where the window is too low for all of it (a small screen at a large
    // scale) rather than pressing its fields into one another.
    auto* panelArea = new QScrollArea(this);
    panelArea->setObjectName("detailPanelArea");
    panelArea->setFrameShape(QFrame::NoFrame);
    panelArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panelArea->setWidgetResizable(true);
    panelArea->setWidget(panel_);
    // A quarter of the window, within bounds: small windows keep most of their width for the
    // canvas, large ones do not get a wide empty panel.
    panelArea->setMinimumWidth(panelMinimumWidth);
    panelArea->setMaximumWidth(panelMaximumWidth);
    row->addWidget(panelArea, 1);
}

DocumentView::~DocumentView() {
    UndoManager& undo = document_.undoManager();
    undo.removeObserver(willUndoObserver_);
    undo.removeObserver(willRedoObserver_);
    canvasWidget_->setUndoManager(nullptr);
    canvasWidget_->onUpdateDetailPanel = nullptr;
}

void DocumentView::gotoReference(const ReferencePtr& reference) {
    // Whatever the last opening said is replaced by what this one says, if anything.
    notice_->hide();
    const QString title = QString::fromStdString(reference->displayTitle());
    if (document_.path().empty()) {
        notice_->showNotice(tr("“%1” could not be opened: save the document first, since "
                               "references are looked for in the folder of its file.")
                                .arg(title));
        return;
    }
    launchHost_->label = reference->displayTitle();
    const auto opened =
        opener_.open(*reference, document_.folder(), bundlePath(), *launchHost_, editors_,
                     editorPreferences(canvas_->host().userDefaults()));
    if (opened.failure)
        notice_->showNotice(
            tr("“%1” could not be opened: %2").arg(title, QString::fromStdString(*opened.failure)));
    else if (opened.notice)
        notice_->showNotice(QString::fromStdString(*opened.notice));
}

void DocumentView::showToolNotice(const std::string& title, int status,
                                  const std::string& errorText) {
    if (auto notice = toolNotice(title, status, errorText))
        notice_->showNotice(QString::fromStdString(*notice));
}

void DocumentView::selectAlone(const ReferencePtr& reference) {
    canvas_->deselectAll();
    reference->selected = true;
    canvas_->setPressedReference(reference);
    canvas_->updateDetailPanel();
    canvas_->redisplay();
}

void DocumentView::presentReference(const ReferencePtr& reference, bool open) {
    selectAlone(reference);
    canvasWidget_->scrollToCentre(reference->rect);
    if (open)
        gotoReference(reference);
}

void DocumentView::gotoPlace(const ReferencePtr& reference, const MarkerLocation& place) {
    const std::string file = document_.folder() + "/" + place.path;
    if (auto launch = placeLaunch(*reference, file, place.line, document_.folder(),
                                  EditorEnvironment::ofThisProcess(), editors_.userEditors())) {
        QStringList arguments;
        for (const auto& argument : launch->arguments)
            arguments << QString::fromStdString(argument);
        // Detached, as the goto tools start editors: a launcher that becomes the editor
        // never holds up the window.
        if (QProcess::startDetached(QString::fromStdString(launch->program), arguments))
            return;
    }
    // Otherwise the box opens as a double-click opens it, and the goto tool says what failed.
    gotoReference(reference);
}

void DocumentView::showMarkerStates(const MarkerStates* states) {
    markerStates_ = states;
    canvasWidget_->setMarkerStates(states);
    panel_->setMarkerStates(states);
}

void DocumentView::showReference(const ReferencePtr& reference) {
    selectAlone(reference);
    // The box and its mark, with a margin, where the view has room for them.
    canvasWidget_->scrollToShow(reference->rect);
}

void DocumentView::insertAtVisibleCentre(void (*insert)(Canvas&, Point)) {
    const Rect visible = canvasWidget_->visibleArea();
    UndoManager& undo = document_.undoManager();
    undo.beginGroup();
    // From a context menu, where it was asked for.
    insert(*canvas_, canvasWidget_->contextPoint().value_or(Point{visible.midX(), visible.midY()}));
    undo.endGroup();
    canvasWidget_->fitToContent();
    // The new item's title field keeps the keyboard.
    if (!canvasWidget_->isLabelEditorOpen())
        canvasWidget_->setFocus();
}

void DocumentView::asOneStep(const std::function<void()>& work) {
    canvasWidget_->finishGesture();
    UndoManager& undo = document_.undoManager();
    undo.beginGroup();
    work();
    undo.endGroup();
    canvasWidget_->fitToContent();
    canvasWidget_->update();
    panel_->updateDetailPanel();
}

void DocumentView::copySelection() {
    canvasWidget_->finishGesture();
    const auto items = pathwicks::copySelection(document_.model());
    if (!items)
        return;
    auto* data = new QMimeData;
    data->setData(itemsMimeType, QByteArray::fromStdString(items->json));
    data->setText(QString::fromStdString(items->text));
    QGuiApplication::clipboard()->setMimeData(data);
}

void DocumentView::cutSelection() {
    if (!canvas_->hasSelection())
        return;
    copySelection();
    asOneStep([this] { canvas_->deleteSelection(); });
}

void DocumentView::paste() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(itemsMimeType))
        return;
    const std::string json = data->data(itemsMimeType).toStdString();
    asOneStep([&] { pasteItems(*canvas_, json, canvasWidget_->visibleArea()); });
}

void DocumentView::deleteSelection() {
    UndoManager& undo = document_.undoManager();
    undo.beginGroup();
    canvas_->deleteSelection();
    undo.endGroup();
}

void DocumentView::duplicateSelection() {
    const auto items = pathwicks::copySelection(document_.model());
    if (!items)
        return;
    asOneStep([&] { pasteItems(*canvas_, items->json, canvasWidget_->visibleArea()); });
}

void DocumentView::align(Alignment alignment) {
    asOneStep([&] { pathwicks::align(*canvas_, alignment); });
}

void DocumentView::distribute(Distribution distribution) {
    asOneStep([&] { pathwicks::distribute(*canvas_, distribution); });
}

void DocumentView::openFind() {
    findBar().open();
}

void DocumentView::findNext(bool backwards) {
    if (!findBar_ || findBar_->isHidden()) {
        openFind();
        return;
    }
    showFound(findStep(document_.model(), findBar_->text().toStdString(), found_, backwards,
                       markerStates_));
}

void DocumentView::showFound(const FindStep& step) {
    const std::optional<FoundItem>& item = step.item;
    found_ = item;
    findBar_->setFound(item || findBar_->text().isEmpty());
    findBar_->setCount(step.position, step.count);
    canvasWidget_->finishGesture();
    if (!item) {
        // No match leaves nothing selected that looks like one.
        if (!findBar_->text().isEmpty() && canvas_->hasSelection()) {
            canvas_->deselectAll();
            canvas_->redisplay();
            canvas_->updateDetailPanel();
        }
        return;
    }
    selectFound(*canvas_, *item);
    canvasWidget_->scrollToShow(item->reference ? item->reference->rect : item->label->rect);
}

} // namespace pathwicks
