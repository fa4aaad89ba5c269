#pragma once

#include "app/DocumentView.h"
#include "model/Document.h"

#include <QMainWindow>


#include <memory>

namespace pathwicks {

class Application;
class CommandMenus;
class RecoveryKeeper;
class TourMode;
class WatchedPaths;
class WindowFrame;
class WindowMarkerCheck;

// One document in its window: its view (the canvas beside the detail panel), the menus made
// from the window's commands, and the questions around saving and closing. What the document
// is, and how it is read and written, lives in Document.
class DocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    DocumentWindow(Application& application, std::unique_ptr<Document> document);
    ~DocumentWindow() override;

    Application& application() { return application_; }
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
    // File › Revert: after asking, the document as its file on disk holds it (undoable).
    void revert();
    // Follows a change of the document's file by another program: reloads it when the window
    // has no unsaved changes (with a notice), asks first when it has.
    void followDiskChange();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showZoomInStatusBar();
    void firstAppearance();
    void tellUnkeptParts();
    bool writeTo(const std::string& path);
    void watchDocumentFile();
    // The file read again (undoable); why not, when it cannot be.
    std::optional<std::string> reloadFromDisk();
    void updateTitle();
    QString displayName() const;

    Application& application_;
    std::unique_ptr<Document> document_;
    DocumentView* view_ = nullptr;
    RecoveryKeeper* recovery_ = nullptr;
    WindowMarkerCheck* markerCheck_ = nullptr;
    TourMode* tour_ = nullptr;
    CommandMenus* menus_ = nullptr;
    std::unique_ptr<WindowFrame> frame_;
    Listeners<>::Id changeListener_ = 0;
    bool appeared_ = false;
    WatchedPaths* fileWatcher_ = nullptr;
    // The file's stamp the user chose to keep their changes over; not asked about again.
    std::optional<FileStamp> keptOver_;
    bool askingAboutDisk_ = false;
};

} // namespace pathwicks
