#include "app/NoticeBar.h"

#include "app/PlainText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace pathwicks {

NoticeBar::NoticeBar(QWidget* parent) : QFrame(parent) {
    setObjectName("noticeBar");
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(255, 244, 206));
    colours.setColor(QPalette::WindowText, QColor(60, 45, 0));
    setPalette(colours);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 4, 4);
    // The icon is looked up in the icon theme when first needed: a window starts quicker.
    icon_ = plainLabel(QString(), this);
    icon_->setFixedSize(16, 16);
    row->addWidget(icon_, 0, Qt::AlignTop);
    text_ = plainLabel(QString(), this);
    text_->setObjectName("noticeText");
    text_->setWordWrap(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(text_, 1);
    auto* close = new QToolButton(this);
    close->setObjectName("noticeClose");
    close->setAutoRaise(true);
    close->setText(QString::fromUtf8("\u2715"));
    close->setToolTip(tr("Close"));
    connect(close, &QToolButton::clicked, this, &QWidget::hide);
    row->addWidget(close, 0, Qt::AlignTop);
    hide();
}

void NoticeBar::showNotice(const QString& text) {
    if (icon_->pixmap().isNull())
        icon_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16));
    text_->setText(text);
    // Shown afresh, so that what it floats over places it for the new text.
    hide();
    show();
}

QString NoticeBar::text() const {
    return isVisible() ? text_->text() : QString();
}

} // namespace pathwicks
