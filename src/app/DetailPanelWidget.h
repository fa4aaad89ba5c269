#pragma once

#include "editors/EditorAvailability.h"
#include "panel/DetailPanel.h"
#include "panel/PanelControls.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace pathwicks {

class CopyButton;
class QtTextMeasurer;

// The system clipboard as plain text.
class QtPasteboard : public Pasteboard {
public:
    std::optional<std::string> text() const override;
    void setText(const std::string& text) override;
};

// The panel beside the canvas: the marker (selectable, to be copied by hand too), the name
// field, the editor pop-up and the copy button. The logic lives in DetailPanel.
class DetailPanelWidget : public QWidget, public PanelControls {
    Q_OBJECT
public:
    DetailPanelWidget(Canvas& canvas, const EditorAvailability& editors,
                      const QtTextMeasurer& fonts, QWidget* parent);
    ~DetailPanelWidget() override;

    DetailPanel& panel() { return panel_; }
    void updateDetailPanel();

    // What the copy button does; attach reads a marker line from the clipboard first.
    void copyMarker(bool attach);
    // Puts the keyboard in the name field, its text selected, when the field shows.
    void focusName();

    // PanelControls
    void setMarkerText(const std::string& text) override;
    void showName(bool shown) override;
    void setNameText(const std::string& text) override;
    void showEditor(bool shown) override;
    void selectEditor(const std::string& name) override;
    void setEditorEnabled(const std::string& name, bool enabled) override;
    void showCopyButton(bool shown) override;

signals:
    // The panel shows another reference, or none.
    void shownChanged();

private:
    Canvas& canvas_;
    DetailPanel panel_;
    QtPasteboard pasteboard_;
    QLabel* hint_ = nullptr;
    QLabel* markerCaption_ = nullptr;
    QPlainTextEdit* marker_ = nullptr;
    QLabel* nameCaption_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLabel* editorCaption_ = nullptr;
    QComboBox* editor_ = nullptr;
    CopyButton* copy_ = nullptr;
};

} // namespace pathwicks
