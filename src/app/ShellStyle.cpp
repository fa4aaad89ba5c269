#include "app/ShellStyle.h"

#include "app/PaintedIcon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

namespace pathwicks {

namespace {

// Two chevrons pointing the way the hidden menus lie, in the text colour, at any size.
class ChevronIconEngine : public PaintedIconEngine {
public:
    explicit ChevronIconEngine(bool leftwards) : leftwards_(leftwards) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const double side = std::min(rect.width(), rect.height());
        const double unit = side / 8;
        QPainterPath path;
        for (const double x : {2.0, 5.0}) {
            path.moveTo(x * unit, 1.5 * unit);
            path.lineTo((x + 1.5) * unit, 4 * unit);
            path.lineTo(x * unit, 6.5 * unit);
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.center() - QPointF(side / 2, side / 2));
        if (leftwards_) {
            painter->translate(side, 0);
            painter->scale(-1, 1);
        }
        painter->setPen(QPen(QGuiApplication::palette().color(QPalette::ButtonText),
                             std::max(1.0, side / 10), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawPath(path);
        painter->restore();
    }

    QIconEngine* clone() const override { return new ChevronIconEngine(leftwards_); }

private:
    bool leftwards_;
};

} // namespace

QIcon ShellStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                               const QWidget* widget) const {
    if (which == SP_ToolBarHorizontalExtensionButton)
        return QIcon(new ChevronIconEngine(QGuiApplication::layoutDirection() == Qt::RightToLeft));
    return QProxyStyle::standardIcon(which, option, widget);
}

} // namespace pathwicks
