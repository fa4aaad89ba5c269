#include "app/DocumentView.h"

#include "app/CanvasScrollArea.h"
#include "app/CanvasWidget.h"
#include "app/DetailPanelWidget.h"
#include "app/QtLaunchHost.h"
#include "app/UserDialogs.h"
#include "model/Bundle.h"
#include "model/Document.h"
#include "panel/PlaceLauncher.h"
#include "panel/ReferenceLauncher.h"

#include <QHBoxLayout>

#include <cstdlib>

namespace pathwicks {

namespace {

constexpr int panelMinimumWidth = 180;
constexpr int panelMaximumWidth = 240;

} // namespace

DocumentView::DocumentView(Document& document, const QtTextMeasurer& measurer,
                           UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent), document_(document), dialogs_(dialogs),
      canvas_(std::make_shared<Canvas>(document.model())) {
    scrollArea_ = new CanvasScrollArea(measurer, this);
    canvasWidget_ = new CanvasWidget(canvas_, measurer, *scrollArea_);
    canvasWidget_->setUndoManager(&document_.undoManager());
    scrollArea_->setCanvas(canvasWidget_);

    // Installed editors are looked for once, as the window opens.
    const char* pathList = std::getenv("PATH");
    const char* home = std::getenv("HOME");
    editors_.detectEditors(pathList ? pathList : "", home ? home : "");
    panel_ = new DetailPanelWidget(*canvas_, editors_, measurer, this);
    // A quarter of the window, within bounds: small windows keep most of their width for the
    // canvas, large ones do not get a wide empty panel.
    panel_->setMinimumWidth(panelMinimumWidth);
    panel_->setMaximumWidth(panelMaximumWidth);
    canvasWidget_->onUpdateDetailPanel = [this] { panel_->updateDetailPanel(); };
    canvasWidget_->onGotoReference = [this](const ReferencePtr& r) { gotoReference(r); };
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
    row->addWidget(scrollArea_, 3);
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
    if (document_.path().empty()) {
        dialogs_.tell(this, tr("Save the document first: references are looked for in the "
                               "folder of its file."));
        return;
    }
    QtLaunchHost host;
    if (auto failure = launchEditor(*reference, document_.folder(), bundlePath(), host))
        dialogs_.tell(this, tr("“%1” could not be opened.")
                                    .arg(QString::fromStdString(reference->displayTitle())) +
                                "\n\n" + QString::fromStdString(*failure));
}

void DocumentView::gotoPlace(const ReferencePtr& reference, const MarkerLocation& place) {
    const char* pathList = std::getenv("PATH");
    const char* home = std::getenv("HOME");
    const std::string file = document_.folder() + "/" + place.path;
    QtLaunchHost host;
    if (auto launch = placeLaunch(*reference, file, place.line, pathList ? pathList : "",
                                  home ? home : "")) {
        if (!host.startProgram(launch->program, launch->arguments))
            return;
    }
    // Without the editor's own launcher, the box opens as a double-click opens it.
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
