#pragma once

#include "canvas/Canvas.h"
#include "editors/EditorAvailability.h"
#include "model/MarkerStates.h"
#include "model/UndoManager.h"

#include <QWidget>

#include <memory>

namespace pathwicks {

class CanvasScrollArea;
class CanvasWidget;
class DetailPanelWidget;
class Document;
class QtTextMeasurer;
class UserDialogs;

// What a document window shows of its document: the canvas in its scroll area, and the detail
// panel beside it. Double-clicked references open from the document's folder.
class DocumentView : public QWidget {
    Q_OBJECT
public:
    DocumentView(Document& document, const QtTextMeasurer& measurer, UserDialogs& dialogs,
                 QWidget* parent);
    ~DocumentView() override;

    Canvas& canvas() { return *canvas_; }
    CanvasWidget& canvasWidget() { return *canvasWidget_; }
    DetailPanelWidget& panel() { return *panel_; }
    EditorAvailability& editors() { return editors_; }

    // Puts a new item in the middle of the visible part of the canvas, as one undo step.
    void insertAtVisibleCentre(void (*insert)(Canvas&, Point));

    // The last marker check's states, for the canvas's marks and the panel's location; they
    // must outlive the view or be replaced first.
    void showMarkerStates(const MarkerStates* states);
    // Selects the reference alone and scrolls it into view.
    void showReference(const ReferencePtr& reference);

private:
    void gotoReference(const ReferencePtr& reference);
    void gotoPlace(const ReferencePtr& reference, const MarkerLocation& place);

    Document& document_;
    UserDialogs& dialogs_;
    std::shared_ptr<Canvas> canvas_;
    EditorAvailability editors_;
    CanvasScrollArea* scrollArea_ = nullptr;
    CanvasWidget* canvasWidget_ = nullptr;
    DetailPanelWidget* panel_ = nullptr;
    UndoManager::ObserverId willUndoObserver_ = 0;
    UndoManager::ObserverId willRedoObserver_ = 0;
};

} // namespace pathwicks
