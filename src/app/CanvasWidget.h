#pragma once

#include "canvas/Canvas.h"

#include <QWidget>

#include <memory>

class QScrollArea;

namespace pathwicks {

class QtTextMeasurer;

// Paints a canvas inside a scroll area and keeps it large enough for its content.
class CanvasWidget : public QWidget {
    Q_OBJECT
public:
    CanvasWidget(std::shared_ptr<Canvas> canvas, const QtTextMeasurer& measurer,
                 QScrollArea& scrollArea);

    Canvas& canvas() { return *canvas_; }

    // Grows the canvas so that everything on it can be scrolled to; never shrinks it while
    // its content fits.
    void fitToContent();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::shared_ptr<Canvas> canvas_;
    const QtTextMeasurer& measurer_;
    QScrollArea& scrollArea_;
};

} // namespace pathwicks
