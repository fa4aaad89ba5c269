#pragma once

#include "canvas/LabelEditor.h"
#include "canvas/ViewTransform.h"

#include <QLineEdit>

#include <functional>

namespace pathwicks {

class QtTextMeasurer;

// The text field laid over a label or a box while its title is typed: the item's font,
// centred, on the colour of a selected reference.
class LabelEditorWidget : public QLineEdit, public LabelEditorField {
    Q_OBJECT
public:
    // Frames are in document units, shown through the canvas's view.
    LabelEditorWidget(const QtTextMeasurer& fonts, const ViewTransform& view, QWidget* canvas);

    void show(const Rect& frame, const std::string& text, TextStyle style,
              bool selectText) override;
    void moveTo(const Rect& frame) override;
    void remove() override;

signals:
    // Escape: the typing is to be thrown away.
    void cancelled();

protected:
    bool event(QEvent* event) override;

private:
    const QtTextMeasurer& fonts_;
    const ViewTransform& view_;
    TextStyle style_ = TextStyle::label;
};

} // namespace pathwicks
