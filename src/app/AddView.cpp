#include "app/AddView.h"

#include "app/DrawListPainter.h"
#include "app/QtTextMeasurer.h"
#include "appearance/CanvasDrawing.h"

#include <QPainter>

namespace pathwicks {

AddView::AddView(QWidget* parent, const QtTextMeasurer& measurer)
    : QWidget(parent), measurer_(measurer) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    const int side = int(2 * addButtonInset + addButtonSize);
    setFixedSize(side, side);
}

void AddView::paintEvent(QPaintEvent*) {
    DrawList list;
    appendAddButton(list, Point{0, 0}, AppearanceConfig::shared());
    QPainter painter(this);
    paintDrawList(painter, list, measurer_);
}

} // namespace pathwicks
