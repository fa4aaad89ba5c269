#pragma once

#include "app/LabelEditorWidget.h"
#include "app/QtUserDefaults.h"
#include "appearance/DrawingIndex.h"
#include "canvas/Canvas.h"
#include "canvas/CanvasHost.h"
#include "canvas/LabelEditor.h"
#include "canvas/PointerTarget.h"
#include "canvas/ViewTransform.h"
#include "model/MarkerStates.h"

#include <QPointF>
#include <QWidget>

#include <functional>
#include <memory>

class QHelpEvent;
class QMouseEvent;
class QScrollArea;

namespace pathwicks {

class QtTextMeasurer;
class UndoManager;

// Paints a canvas inside a scroll area, keeps it large enough for its content, and turns the
// pointer into the canvas's presses, drags and releases.
class CanvasWidget : public QWidget, public CanvasHost {
    Q_OBJECT
public:
    CanvasWidget(std::shared_ptr<Canvas> canvas, const QtTextMeasurer& measurer,
                 QScrollArea& scrollArea);
    ~CanvasWidget() override;

    Canvas& canvas() { return *canvas_; }

    // Grows the canvas so that everything on it can be scrolled to, left of and above the
    // origin too; never shrinks it while its content fits. What is in view stays in view.
    void fitToContent();

    // The zoom, from minimumZoom to maximumZoom. Zooming keeps the document point under
    // `anchor` (a point of the scroll area's viewport) where it is.
    double zoom() const { return view_.zoom; }
    void setZoom(double zoom, QPoint anchor);
    void setZoom(double zoom); // around the middle of the view
    // All boxes and labels in view, at most at 100 %.
    void fitToWindow();
    std::function<void(double)> onZoomChanged;
    const ViewTransform& view() const { return view_; }
    // The part of the document in view, in document units.
    Rect visibleArea() const;
    // Scrolls so that the document rectangle is in view, when it is not already.
    void scrollToShow(const Rect& area);
    // Scrolls the area's middle to the middle of the view, as far as the canvas reaches.
    void scrollToCentre(const Rect& area);

    // The window's undo history: each event's edits become one undoable step.
    void setUndoManager(UndoManager* undo) { undo_ = undo; }
    // Ends a press in progress as its release would, recording what its drags changed.
    void finishGesture();

    std::function<void(const ReferencePtr&)> onGotoReference;
    // Chooses the editor of a new reference from the editor last chosen.
    std::function<std::string(const std::optional<std::string>& lastChosen)> chooseNewEditor;
    // A mouse button that started a gesture is still held: until its release, presses of other
    // buttons are ignored, and so are undo and redo.
    bool isButtonHeld() const { return gestureButton_ != Qt::NoButton; }

    std::function<void()> onUpdateDetailPanel;

    // F2 and Return: the one selected box or label is renamed in place. False when not one
    // item is selected.
    bool renameSelection();
    // Alt and an arrow: the selection moves by step; a run of one step is one undo step.
    void nudge(Point step);
    // Tab and Shift+Tab: the next or previous item in reading order, scrolled into view.
    void selectNext(bool backwards);
    // A right click that did not drag, or the menu key: the commands of what lies there, at a
    // point of the screen.
    std::function<void(const PointerTarget& target, QPoint screenPoint)> onContextMenu;
    // What the context menu whose command runs was opened on; new items land at its point.
    const std::optional<PointerTarget>& contextTarget() const { return contextTarget_; }
    void setContextTarget(std::optional<PointerTarget> target) { contextTarget_ = std::move(target); }
    std::optional<Point> contextPoint() const {
        return contextTarget_ ? std::optional<Point>(contextTarget_->at) : std::nullopt;
    }

    LabelEditor& labelEditor();

    // The last marker check's states, drawn as marks on the boxes; none draws none. The states
    // must outlive their use here.
    void setMarkerStates(const MarkerStates* states);

    // CanvasHost
    // Every change is shown at once, and the canvas grows with it, so it can be scrolled to.
    void redisplay() override;
    void fitCanvasToContent() override { fitToContent(); }
    void panBy(Point movement) override;
    void gotoReference(const ReferencePtr& reference) override;
    void updateDetailPanel() override;
    void openLabelEditor(const LabelPtr& label) override;
    void openTitleEditor(const ReferencePtr& reference) override;
    bool isLabelEditorOpen() const override;
    void closeLabelEditorLater() override;
    void closeLabelEditorNow() override;
    UndoManager* undoManager() override { return undo_; }
    UserDefaults* userDefaults() override { return &defaults_; }
    std::optional<std::string> newReferenceEditor() override;
    const TextMeasurer* textMeasurer() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    PointerEvent pointerEvent(const QMouseEvent& event, int clickCount);
    // The tooltip of the box under the pointer: its title, note and place.
    void showToolTip(const QHelpEvent& help);
    // A printable key with one item selected starts renaming it with that key's text.
    bool startTyping(const QKeyEvent& key);
    // Opens the title editor over the one selected item, its title replaced by typed if any.
    bool editSingleItem(const std::optional<std::string>& typed);
    void press(QMouseEvent* event, int clickCount);
    // A right release where its press was: the selection the press found comes back, then the
    // target's context menu opens.
    void openContextMenu(QPoint at);
    // The resize cursor over a selected box's handle, the usual one elsewhere.
    void showResizeCursor(QPointF at);
    // Runs one event's work on the canvas as one undo group.
    void asOneStep(const std::function<void()>& work);
    // Tells the canvas where the add button lies: in the corner of the visible part, which
    // moves whenever the canvas scrolls (this widget then moves in the scroll area).
    void placeAddButton();
    // Spans `area` of the document at `zoom`, scrolled so that the document point `fixed` lies
    // `anchor` pixels from the visible part's top left.
    void span(const Rect& area, double zoom, Point fixed, Point anchor);
    void spanZoomed(const ZoomedView& zoomed);
    Size viewportSize() const;

    std::shared_ptr<Canvas> canvas_;
    Listeners<>::Id redrawListener_ = 0;
    const QtTextMeasurer& measurer_;
    QScrollArea& scrollArea_;
    ViewTransform view_;
    Rect area_; // the part of the document the widget spans
    // Where the items lie, for painting only what is in view; built again when it no longer
    // fits the model (moving the selection keeps it).
    std::unique_ptr<DrawingIndex> index_;
    UndoManager* undo_ = nullptr;
    QtUserDefaults defaults_;
    LabelEditorWidget* labelField_ = nullptr;
    std::unique_ptr<LabelEditor> labelEditor_;
    // Where the pointer was at the previous event, on the screen: panning moves the canvas
    // under the pointer, so only screen positions tell how far the pointer itself went.
    QPointF lastGlobal_;
    Qt::MouseButton gestureButton_ = Qt::NoButton;
    const MarkerStates* markerStates_ = nullptr;
    // What a right press found under the pointer, and the selection before it.
    PointerTarget rightTarget_;
    Placement rightSelection_;
    QPointF rightPress_;
    std::optional<PointerTarget> contextTarget_;
};

} // namespace pathwicks
