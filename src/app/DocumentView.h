#pragma once

#include "canvas/Arrange.h"
#include "canvas/Canvas.h"
#include "canvas/Find.h"
#include "editors/EditorAvailability.h"
#include "panel/ReferenceLauncher.h"
#include "model/MarkerStates.h"
#include "model/UndoManager.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QVBoxLayout;

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
class NoticeBar;
class QtLaunchHost;

class DocumentView : public QWidget {
    Q_OBJECT
public:
    DocumentView(Document& document, const QtTextMeasurer& measurer, UserDialogs& dialogs,
                 QWidget* parent);
    ~DocumentView() override;

    Canvas& canvas() { return *canvas_; }
    CanvasWidget& canvasWidget() { return *canvasWidget_; }
    DetailPanelWidget& panel() { return *panel_; }
    // The line above the canvas that tells why a reference could not be opened.
    NoticeBar& notice() { return *notice_; }
    EditorAvailability& editors() { return editors_; }
    // Reads the editors again when the user's editors file changed since they were read.
    void readEditors();

    // Puts a new item in the middle of the visible part of the canvas, as one undo step.
    void insertAtVisibleCentre(void (*insert)(Canvas&, Point));
    // Selects the reference alone, scrolls it to the middle of the view and shows it in the
    // panel; with open, also opens it as a double click would. No undo step.
    void presentReference(const ReferencePtr& reference, bool open);

    // The last marker check's states, for the canvas's marks and the panel's location; they
    // must outlive the view or be replaced first.
    void showMarkerStates(const MarkerStates* states);
    // Selects the reference alone and scrolls it into view.
    void showReference(const ReferencePtr& reference);

    // The clipboard: the selected items under our own type and as their titles. Each edit is
    // one undo step; copying with nothing selected leaves the clipboard alone.
    void copySelection();
    void cutSelection();
    void paste();
    void duplicateSelection();
    void deleteSelection();

    void align(Alignment alignment);
    void distribute(Distribution distribution);

    // The find bar above the canvas.
    void openFind();
    void findNext(bool backwards);
    FindBar& findBar();

private:
    // The constructor's parts: starting goto tools and telling what they said, the canvas and
    // the panel before each undo and redo, the find bar, and where each widget goes.
    void setUpOpening();
    void followUndo();
    void arrange();
    // Selects the reference and nothing else, and shows it in the panel. No undo step.
    void selectAlone(const ReferencePtr& reference);
    void gotoReference(const ReferencePtr& reference);
    // Tells what a goto tool that has exited said, with what to do.
    void showToolNotice(const std::string& title, int status, const std::string& errorText);
    void gotoPlace(const ReferencePtr& reference, const MarkerLocation& place);
    // Runs work as one undo step and brings the canvas and the panel up to date.
    void asOneStep(const std::function<void()>& work);
    void showFound(const FindStep& step);

    Document& document_;
    std::shared_ptr<Canvas> canvas_;
    EditorAvailability editors_;
    BoxOpener opener_; // the reader's editor in place of a box's, told once
    CanvasScrollArea* scrollArea_ = nullptr;
    CanvasWidget* canvasWidget_ = nullptr;
    DetailPanelWidget* panel_ = nullptr;
    NoticeBar* notice_ = nullptr;
    QtLaunchHost* launchHost_ = nullptr;
    FindBar* findBar_ = nullptr;
    QVBoxLayout* canvasColumn_ = nullptr;
    std::optional<FoundItem> found_;
    std::optional<std::string> editorsStamp_; // of the editors file last read
    const MarkerStates* markerStates_ = nullptr;
    UndoManager::ObserverId willUndoObserver_ = 0;
    UndoManager::ObserverId willRedoObserver_ = 0;
};

} // namespace pathwicks
