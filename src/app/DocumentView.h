#pragma once

#include "canvas/Canvas.h"
#include "editors/EditorAvailability.h"
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
    // Selects the reference alone, scrolls it to the middle of the view and shows it in the
    // panel; with open, also opens it as a double click would. No undo step.
    void presentReference(const ReferencePtr& reference, bool open);

private:
    void gotoReference(const ReferencePtr& reference);

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
