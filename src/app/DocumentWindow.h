#pragma once

#include "app/DocumentView.h"
#include "model/Document.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QLabel;

namespace pathwicks {

class Application;
class EditorMenu;
class RecoveryKeeper;
class TourMode;
class WindowMarkerCheck;

// One document in its window: its view (the canvas beside the detail panel), the menus, and the
// questions around saving and closing. What the document is, and how it is read and written,
// lives in Document.
class DocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    DocumentWindow(Application& application, std::unique_ptr<Document> document);
    ~DocumentWindow() override;

    Document& document() { return *document_; }
    DocumentView& view() { return *view_; }
    Canvas& canvas() { return view_->canvas(); }
    CanvasWidget& canvasWidget() { return view_->canvasWidget(); }
    DetailPanelWidget& detailPanel() { return view_->panel(); }
    // The copy of the unsaved work kept for recovery after a crash.
    RecoveryKeeper& recovery() { return *recovery_; }
    TourMode& tour() { return *tour_; }
    WindowMarkerCheck& markerCheck() { return *markerCheck_; }

    bool save();
    bool saveAs();
    // Asks to save unsaved changes; false when the user cancels.
    bool maybeSave();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    void buildViewMenu();
    void buildZoomActions(QMenu& menu);
    void buildArrangeMenu();
    void updatePanelActions();
    void firstAppearance();
    bool writeTo(const std::string& path);
    void placeFrame();
    Rect frameToSave() const;
    void updateTitle();
    void updateUndoActions();
    QString displayName() const;

    Application& application_;
    std::unique_ptr<Document> document_;
    DocumentView* view_ = nullptr;
    RecoveryKeeper* recovery_ = nullptr;

    // The frame the file asked for, and where the window stood once it was shown there: while
    // the window stays put, saving writes the file's frame text back unchanged.
    std::optional<Rect> fileFrame_;
    QRect shownFrame_;
    bool appeared_ = false;

    WindowMarkerCheck* markerCheck_ = nullptr;
    EditorMenu* editorMenu_ = nullptr;
    TourMode* tour_ = nullptr;
    QAction* copyMarkerAction_ = nullptr;
    QAction* attachMarkerAction_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
};

} // namespace pathwicks
