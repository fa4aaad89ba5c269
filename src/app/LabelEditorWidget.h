#pragma once

#include "canvas/LabelEditor.h"

#include <QLineEdit>

#include <functional>

namespace pathwicks {

class QtTextMeasurer;

// The text field laid over a label while its title is typed: the label font, centred, on the
// colour of a selected reference.
class LabelEditorWidget : public QLineEdit, public LabelEditorField {
    Q_OBJECT
public:
    LabelEditorWidget(const QtTextMeasurer& fonts, QWidget* canvas);

    void show(const Rect& frame, const std::string& text) override;
    void moveTo(const Rect& frame) override;
    void remove() override;

protected:
    bool event(QEvent* event) override;
};

} // namespace pathwicks
