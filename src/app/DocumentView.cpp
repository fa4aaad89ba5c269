#include "app/DocumentView.h"

#include "app/CanvasScrollArea.h"
#include "app/CanvasWidget.h"
#include "app/DetailPanelWidget.h"
#include "app/NoticeBar.h"
#include "app/QtLaunchHost.h"
#include "model/Bundle.h"
#include "model/Document.h"
#include "panel/PlaceLauncher.h"
#include "panel/ReferenceLauncher.h"

#include <QHBoxLayout>
#include <QProcess>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pathwicks {

namespace {

constexpr int panelMinimumWidth = 180;
constexpr int panelMaximumWidth = 240;

} // namespace

DocumentView::DocumentView(Document& document, const QtTextMeasurer& measurer, UserDialogs& dialogs,
                           QWidget* parent)
    : QWidget(parent), document_(document), canvas_(std::make_shared<Canvas>(document.model())) {
    scrollArea_ = new CanvasScrollArea(measurer, this);
    canvasWidget_ = new CanvasWidget(canvas_, measurer, *scrollArea_);
    canvasWidget_->setUndoManager(&document_.undoManager());
    scrollArea_->setCanvas(canvasWidget_);

    notice_ = new NoticeBar(this);
    launchHost_ = new QtLaunchHost(this);
    launchHost_->setObjectName("launchHost");
    launchHost_->onFinished = [this](const std::string& title, int status,
                                     const std::string& errorText) {
        showToolNotice(title, status, errorText);
    };

    // Installed editors, and the user's own, are looked for once, as the window opens.
    editors_.detectEditors(EditorEnvironment::ofThisProcess());
    if (!editors_.userEditors().problem.empty())
        notice_->showNotice(tr("Your editors could not be read: %1")
                                .arg(QString::fromStdString(editors_.userEditors().problem)));
    panel_ = new DetailPanelWidget(*canvas_, editors_, measurer, dialogs, this);
    // A quarter of the window, within bounds: small windows keep most of their width for the
    // canvas, large ones do not get a wide empty panel.
    panel_->setMinimumWidth(panelMinimumWidth);
    panel_->setMaximumWidth(panelMaximumWidth);
    canvasWidget_->onUpdateDetailPanel = [this] { panel_->updateDetailPanel(); };
    canvasWidget_->onGotoReference = [this](const ReferencePtr& r) { gotoReference(r); };
    canvasWidget_->chooseNewEditor = [this](const std::optional<std::string>& lastChosen) {
        return editors_.newReferenceEditor(lastChosen);
    };
    panel_->onOpenPlace = [this](const ReferencePtr& r, const MarkerLocation& place) {
        gotoPlace(r, place);
    };

    // The canvas finishes whatever is in progress before each undo and redo, and a name being
    // typed is committed first, as its own step.
    UndoManager& undo = document_.undoManager();
    willUndoObserver_ = undo.addWillUndoObserver([this] {
        panel_->panel().nameEditEnded();
        canvas_->willUndo();
    });
    willRedoObserver_ = undo.addWillRedoObserver([this] {
        panel_->panel().nameEditEnded();
        canvas_->willRedo();
    });

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(notice_);
    column->addWidget(scrollArea_, 1);
    row->addLayout(column, 3);
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    row->addWidget(divider);
    row->addWidget(panel_, 1);
}

DocumentView::~DocumentView() {
    UndoManager& undo = document_.undoManager();
    undo.removeObserver(willUndoObserver_);
    undo.removeObserver(willRedoObserver_);
    canvasWidget_->setUndoManager(nullptr);
    canvasWidget_->onUpdateDetailPanel = nullptr;
    document_.model().redraw = nullptr;
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
    if (auto failure = launchEditor(*reference, document_.folder(), bundlePath(), *launchHost_,
                                    editors_.userEditors()))
        notice_->showNotice(
            tr("“%1” could not be opened: %2").arg(title, QString::fromStdString(*failure)));
}

void DocumentView::showToolNotice(const std::string& title, int status,
                                  const std::string& errorText) {
    if (auto notice = toolNotice(title, status, errorText))
        notice_->showNotice(QString::fromStdString(*notice));
}

void DocumentView::presentReference(const ReferencePtr& reference, bool open) {
    canvas_->deselectAllReferences();
    reference->selected = true;
    canvas_->setPressedReference(reference);
    canvas_->updateDetailPanel();
    canvas_->redisplay();
    // A stray coordinate scrolls to the nearest edge.
    auto whole = [](double v) { return std::isnan(v) ? 0 : int(std::clamp(v, -1e9, 1e9)); };
    const QWidget* viewport = scrollArea_->viewport();
    scrollArea_->ensureVisible(whole(reference->rect.midX()), whole(reference->rect.midY()),
                               viewport->width() / 2, viewport->height() / 2);
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
    canvasWidget_->setMarkerStates(states);
    panel_->setMarkerStates(states);
}

void DocumentView::showReference(const ReferencePtr& reference) {
    canvas_->deselectAllReferences();
    reference->selected = true;
    canvas_->setPressedReference(reference);
    const Rect& r = reference->rect;
    // The box and its mark, with a margin, where the view has room for them.
    scrollArea_->ensureVisible(int(r.x + r.width / 2), int(r.y + r.height / 2),
                               int(r.width / 2) + 20, int(r.height / 2) + 20);
    canvasWidget_->update();
    panel_->updateDetailPanel();
}

void DocumentView::insertAtVisibleCentre(void (*insert)(Canvas&, Point)) {
    const QWidget* viewport = scrollArea_->viewport();
    const QPoint centre = canvasWidget_->mapFrom(viewport, viewport->rect().center());
    UndoManager& undo = document_.undoManager();
    undo.beginGroup();
    insert(*canvas_, Point{double(centre.x()), double(centre.y())});
    undo.endGroup();
    canvasWidget_->fitToContent();
    canvasWidget_->setFocus();
}

} // namespace pathwicks
