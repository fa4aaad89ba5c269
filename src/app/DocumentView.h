#pragma once

#include "canvas/Arrange.h"
#include "canvas/Canvas.h"
#include "canvas/Find.h"
#include "editors/EditorAvailability.h"
#include "model/UndoManager.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace pathwicks {

class CanvasScrollArea;
class CanvasWidget;
class DetailPanelWidget;
class Document;
class FindBar;
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

    // The clipboard: the selected items under our own type and as their titles. Each edit is
    // one undo step; copying with nothing selected leaves the clipboard alone.
    void copySelection();
    void cutSelection();
    void paste();
    void duplicateSelection();

    void align(Alignment alignment);
    void distribute(Distribution distribution);

    // The find bar above the canvas.
    void openFind();
    void findNext(bool backwards);
    FindBar& findBar() { return *findBar_; }

private:
    void gotoReference(const ReferencePtr& reference);
    // Runs work as one undo step and brings the canvas and the panel up to date.
    void asOneStep(const std::function<void()>& work);
    void showFound(const std::optional<FoundItem>& item);

    Document& document_;
    UserDialogs& dialogs_;
    std::shared_ptr<Canvas> canvas_;
    EditorAvailability editors_;
    CanvasScrollArea* scrollArea_ = nullptr;
    CanvasWidget* canvasWidget_ = nullptr;
    DetailPanelWidget* panel_ = nullptr;
    FindBar* findBar_ = nullptr;
    std::optional<FoundItem> found_;
    UndoManager::ObserverId willUndoObserver_ = 0;
    UndoManager::ObserverId willRedoObserver_ = 0;
};

} // namespace pathwicks
