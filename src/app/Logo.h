#pragma once

#include <QPainterPath>
#include <QWidget>

namespace pathwicks {

// The program's name in a corner of the canvas, a faint bold mark in the palette's text colour.
// Its letters are an outline made as the program was built, so a window shows it without
// loading a font.
class Logo : public QWidget {
public:
    explicit Logo(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace pathwicks
