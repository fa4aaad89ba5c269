#pragma once

#include "editors/EditorAvailability.h"
#include "panel/DetailPanel.h"
#include "model/MarkerStates.h"
#include "panel/PanelControls.h"

#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QVBoxLayout;

namespace pathwicks {

class CopyButton;
class MarkerLocationWidget;
class NoteField;
class QtTextMeasurer;
class UserDialogs;

// The system clipboard as plain text.
class QtPasteboard : public Pasteboard {
public:
    std::optional<std::string> text() const override;
    void setText(const std::string& text) override;
};

// The panel beside the canvas: the marker line (selectable, to be copied by hand too) with the
// chooser of its comment style, the name field, the note field, the editor pop-up and the copy button. The logic lives in DetailPanel.
class DetailPanelWidget : public QWidget, public PanelControls {
    Q_OBJECT
public:
    DetailPanelWidget(Canvas& canvas, const EditorAvailability& editors,
                      const QtTextMeasurer& fonts, UserDialogs& dialogs, QWidget* parent);
    ~DetailPanelWidget() override;

    DetailPanel& panel() { return panel_; }
    void updateDetailPanel();

    // The last marker check's states: the shown box's location and code come from them.
    void setMarkerStates(const MarkerStates* states);
    // A place of the shown box's marker was clicked.
    std::function<void(const ReferencePtr&, const MarkerLocation&)> onOpenPlace;
    // The Place Marker… button of a missing marker.
    std::function<void()> onPlaceMarker;

    // What the copy button does; attach reads a marker line from the clipboard first.
    void copyMarker(bool attach);
    // Puts the keyboard in the name field, its text selected, when the field shows.
    void focusName();
    // The editors were read again: the pop-up lists them afresh.
    void refillEditors();

    // PanelControls
    void setMarkerText(const std::string& text) override;
    void showName(bool shown) override;
    void setNameText(const std::string& text) override;
    void showNote(bool shown) override;
    void setNoteText(const std::string& text) override;
    void showEditor(bool shown) override;
    void selectEditor(const std::string& name) override;
    void markEditorInstalled(const std::string& name, bool installed) override;
    void showCopyButton(bool shown) override;
    void showMarkerStyle(bool shown, const std::string& opener) override;
    void tell(const std::string& message) override;
    bool confirm(const std::string& question, const std::string& action) override;

signals:
    // The panel shows another reference, or none.
    void shownChanged();
    // The editors offered changed (the user's editors file was read again).
    void editorsRefilled();

private:
    // The fields below the hint, made when first needed; false when they are not there.
    bool ensureFields(bool needed = true);
    // The panel's parts, top to bottom.
    void addMarker(QVBoxLayout& layout);
    QComboBox* makeMarkerStyle();
    void addName(QVBoxLayout& layout);
    void addNote(QVBoxLayout& layout);
    void addEditor(QVBoxLayout& layout);
    void fillEditors();
    void addCopyButton(QVBoxLayout& layout);
    void addLocation(QVBoxLayout& layout);

    Canvas& canvas_;
    UserDialogs& dialogs_;
    const EditorAvailability& editors_;
    const QtTextMeasurer& fonts_;
    DetailPanel panel_;
    QtPasteboard pasteboard_;
    QLabel* hint_ = nullptr;
    QVBoxLayout* fieldsLayout_ = nullptr;
    QLabel* markerCaption_ = nullptr;
    QPlainTextEdit* marker_ = nullptr;
    QComboBox* markerStyle_ = nullptr;
    QLabel* nameCaption_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLabel* noteCaption_ = nullptr;
    NoteField* note_ = nullptr;
    QLabel* editorCaption_ = nullptr;
    QComboBox* editor_ = nullptr;
    CopyButton* copy_ = nullptr;
    MarkerLocationWidget* location_ = nullptr;
    const MarkerStates* markerStates_ = nullptr;
    // What the location shows, so that it is read again only when that changes.
    std::weak_ptr<Reference> locationReference_;
    std::string locationId_;
};

} // namespace pathwicks
