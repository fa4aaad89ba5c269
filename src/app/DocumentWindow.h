#pragma once

#include "model/FileStamp.h"
#include "canvas/Canvas.h"
#include "model/UndoManager.h"
#include "panel/EditorAvailability.h"

#include <QMainWindow>

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QScrollArea;

namespace pathwicks {

class SaveSteps;

class AddView;
class DetailPanelWidget;
class Application;
class CanvasWidget;

// One document in its window: the canvas in a scroll area, the File and Edit menus, saving,
// and the question about unsaved changes when the window closes.
class DocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    // `content` is the document read from `path`, or nothing for a new document.
    DocumentWindow(Application& application, std::optional<nlohmann::json> content,
                   const QString& path);
    ~DocumentWindow() override;

    // The file the document is saved in; empty until a new document is first saved.
    const QString& path() const { return path_; }
    // The document's file as the canvas knows it: where references are looked for. Set when
    // the content is decoded and after every save.
    const std::optional<QString>& filepath() const { return filepath_; }

    Canvas& canvas() { return *canvas_; }
    UndoManager& undoManager() { return undo_; }
    CanvasWidget& canvasWidget() { return *canvasWidget_; }
    DetailPanelWidget& detailPanel() { return *panel_; }
    EditorAvailability& editors() { return editors_; }

    // Tells the user why something asked for did not happen; a message box unless replaced.
    std::function<void(const QString&)> tellUser;

    bool save();
    bool saveAs();
    // Asks where to save; the file dialog unless set (tests answer it directly).
    std::function<QString(const QString& suggested)> chooseSavePath;
    // The system calls a save makes; the system's own unless set (tests make one fail).
    SaveSteps* saveSteps = nullptr;
    // Asks to save unsaved changes; false when the user cancels.
    bool maybeSave();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildEditorMenu();
    void updateEditorMenu();
    void updatePanelActions();
    // Opens a reference double-clicked on this window's canvas, from the document's folder.
    void gotoReference(const ReferencePtr& reference);
    void insertAtVisibleCentre(void (*insert)(Canvas&, Point));
    void firstAppearance();
    bool writeTo(const QString& path);
    bool confirmOverwriteOfChangedFile();
    void applyFrame(const std::optional<Rect>& frame);
    Rect frameToSave() const;
    void updateTitle();
    void updateUndoActions();
    void placeOverlays();
    void scheduleFit();

    Application& application_;
    StepsModel model_;
    std::shared_ptr<Canvas> canvas_;
    UndoManager undo_;
    std::optional<nlohmann::json> content_;
    QString path_;
    std::optional<QString> filepath_;
    std::optional<FileStamp> stamp_;

    // The frame the file asked for, and where the window stood once it was shown there: while
    // the window stays put, saving writes the file's frame text back unchanged.
    std::optional<Rect> fileFrame_;
    QRect shownFrame_;
    bool appeared_ = false;

    QScrollArea* scrollArea_ = nullptr;
    CanvasWidget* canvasWidget_ = nullptr;
    AddView* addView_ = nullptr;
    QLabel* logo_ = nullptr;
    DetailPanelWidget* panel_ = nullptr;
    EditorAvailability editors_;
    QMenu* editorMenu_ = nullptr;
    QAction* copyMarkerAction_ = nullptr;
    QAction* attachMarkerAction_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    UndoManager::ObserverId willUndoObserver_ = 0;
    UndoManager::ObserverId willRedoObserver_ = 0;
};

} // namespace pathwicks
