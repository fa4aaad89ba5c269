#include "app/PaintedIcon.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace pathwicks {

QPixmap PaintedIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(&painter, image.rect(), mode, state);
    painter.end();
    QPixmap drawn = QPixmap::fromImage(image);
    if (mode != QIcon::Disabled)
        return drawn;
    QStyleOption option;
    option.palette = QGuiApplication::palette();
    return QApplication::style()->generatedIconPixmap(QIcon::Disabled, drawn, &option);
}

} // namespace pathwicks
