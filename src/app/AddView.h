#pragma once

#include <QWidget>

namespace pathwicks {

class QtTextMeasurer;

// The add button, drawn over the top-left corner of the visible part of the canvas. It takes
// no presses: they reach the canvas below, which knows the button's square.
class AddView : public QWidget {
    Q_OBJECT
public:
    AddView(QWidget* parent, const QtTextMeasurer& measurer);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QtTextMeasurer& measurer_;
};

} // namespace pathwicks
