#include "app/Logo.h"

#include <QDataStream>
#include <QFile>
#include <QPainter>

namespace pathwicks {

namespace {

struct Outline {
    QSize size;
    QPainterPath path;
};

const Outline& outline() {
    static const Outline read = [] {
        Outline outline;
        QFile file(QStringLiteral(":/pathwicks/logo.outline"));
        if (file.open(QIODevice::ReadOnly)) {
            QDataStream in(&file);
            in >> outline.size >> outline.path;
        }
        return outline;
    }();
    return read;
}

} // namespace

Logo::Logo(QWidget* parent) : QWidget(parent) {
    setAccessibleName(tr("Pathwicks"));
    resize(sizeHint());
}

QSize Logo::sizeHint() const {
    return outline().size;
}

void Logo::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(outline().path, palette().color(QPalette::WindowText));
}

} // namespace pathwicks
