#pragma once

#include <QIconEngine>

namespace pathwicks {

// An icon its paint() draws at whatever size and scale it is asked for, so that it is as sharp
// at 125 % or 150 % as at 100 % and costs nothing until it is shown; disabled, it is greyed as
// the style greys pictures.
class PaintedIconEngine : public QIconEngine {
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
};

} // namespace pathwicks
