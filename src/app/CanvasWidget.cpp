#include "app/CanvasWidget.h"

#include "app/DrawListPainter.h"
#include "app/QtTextMeasurer.h"
#include "appearance/CanvasDrawing.h"
#include "canvas/CanvasFit.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>

namespace pathwicks {

CanvasWidget::CanvasWidget(std::shared_ptr<Canvas> canvas, const QtTextMeasurer& measurer,
                           QScrollArea& scrollArea)
    : canvas_(std::move(canvas)), measurer_(measurer), scrollArea_(scrollArea) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Drawing publishes the add button's square in canvas coordinates, which move with every
    // scroll: draw again whenever the visible part changes.
    connect(scrollArea_.horizontalScrollBar(), &QScrollBar::valueChanged, this,
            qOverload<>(&QWidget::update));
    connect(scrollArea_.verticalScrollBar(), &QScrollBar::valueChanged, this,
            qOverload<>(&QWidget::update));
    canvas_->model.redraw = [this] { update(); };
}

void CanvasWidget::fitToContent() {
    const QSize visible = scrollArea_.viewport()->size();
    const auto fitted = fittedCanvasSize(canvas_->model, Size{double(width()), double(height())},
                                         Size{double(visible.width()), double(visible.height())});
    if (!fitted)
        return;
    // Whole pixels, rounded up, so that the far edge of the farthest box is never cut off.
    const auto whole = [](double v) { return int(std::min(std::ceil(v), double(QWIDGETSIZE_MAX))); };
    resize(std::max(whole(fitted->width), 1), std::max(whole(fitted->height), 1));
}

void CanvasWidget::paintEvent(QPaintEvent* event) {
    const QRect dirty = event->rect();
    CanvasViewport viewport;
    viewport.bounds = Size{double(width()), double(height())};
    viewport.dirty = Rect{double(dirty.x()), double(dirty.y()), double(dirty.width()),
                          double(dirty.height())};
    viewport.visibleOrigin = Point{double(-pos().x()), double(-pos().y())};

    const DrawList list = drawCanvas(canvas_->model, canvas_->drawState, viewport,
                                     AppearanceConfig::shared(), measurer_);
    QPainter painter(this);
    paintDrawList(painter, list, measurer_);
}

} // namespace pathwicks
