#include "app/CanvasScrollArea.h"

#include "app/AddView.h"
#include "app/CanvasWidget.h"
#include "app/Logo.h"

#include <QEvent>
#include <QPalette>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace pathwicks {

CanvasScrollArea::CanvasScrollArea(const QtTextMeasurer& measurer, QWidget* parent)
    : QScrollArea(parent) {
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    addView_ = new AddView(this, measurer);
    logo_ = new Logo(this);
    logo_->setObjectName("logo");
    logo_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette palette = logo_->palette();
    palette.setColor(QPalette::WindowText, QColor(60, 60, 60, 110));
    logo_->setPalette(palette);
    viewport()->installEventFilter(this);
    verticalScrollBar()->installEventFilter(this);
}

void CanvasScrollArea::setCanvas(CanvasWidget* canvas) {
    canvas_ = canvas;
    setWidget(canvas);
    placeOverlays();
}

void CanvasScrollArea::setNotice(QWidget* notice) {
    notice_ = notice;
    notice_->setParent(this);
    notice_->installEventFilter(this);
    placeOverlays();
}

bool CanvasScrollArea::event(QEvent* event) {
    const bool handled = QScrollArea::event(event);
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Show:
        placeOverlays();
        scheduleFit();
        break;
    default:
        break;
    }
    return handled;
}

bool CanvasScrollArea::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        placeOverlays();
        scheduleFit();
        break;
    default:
        break;
    }
    return QScrollArea::eventFilter(watched, event);
}

void CanvasScrollArea::scheduleFit() {
    if (!canvas_)
        return;
    QTimer::singleShot(0, canvas_, [canvas = canvas_] { canvas->fitToContent(); });
}

void CanvasScrollArea::placeOverlays() {
    const QRect visible = viewport()->geometry();
    addView_->move(visible.topLeft());
    addView_->raise();
    // The name sits at the bottom right, clear of the vertical scroller when it shows.
    const QScrollBar* scroller = verticalScrollBar();
    const int right = scroller->isVisible() ? scroller->width() + 3 : 3;
    const int bottom =
        horizontalScrollBar()->isVisible() ? horizontalScrollBar()->height() + 3 : 3;
    logo_->move(width() - right - logo_->width(), height() - bottom - logo_->height());
    logo_->raise();
    if (notice_ && notice_->isVisible()) {
        const int left = addView_->geometry().right() + 1;
        const int noticeWidth = std::max(visible.right() + 1 - left, 0);
        const int noticeHeight = notice_->hasHeightForWidth() ? notice_->heightForWidth(noticeWidth)
                                                              : notice_->sizeHint().height();
        notice_->setGeometry(left, visible.top(), noticeWidth, noticeHeight);
        notice_->raise();
    }
}

} // namespace pathwicks
