#include "app/FindBar.h"

#include "app/PlainText.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace pathwicks {

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
    setObjectName("findBar");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 3, 6, 3);
    row->addWidget(plainLabel(tr("Find:"), this));
    field_ = new QLineEdit(this);
    field_->setObjectName("findField");
    field_->setPlaceholderText(tr("Title of a box or label, or a marker's file"));
    field_->installEventFilter(this);
    row->addWidget(field_, 1);
    count_ = plainLabel(QString(), this);
    count_->setObjectName("findCount");
    count_->setMinimumWidth(count_->fontMetrics().horizontalAdvance(tr("No match")) + 8);
    row->addWidget(count_);
    auto* close = new QToolButton(this);
    close->setText(tr("Done"));
    close->setAutoRaise(true);
    row->addWidget(close);
    connect(field_, &QLineEdit::textChanged, this, &FindBar::textChanged);
    connect(field_, &QLineEdit::returnPressed, this, &FindBar::next);
    connect(close, &QToolButton::clicked, this, &FindBar::closed);
    hide();
}

void FindBar::open() {
    // Its icon comes from the icon theme, looked up when first needed: a window starts quicker.
    field_->setClearButtonEnabled(true);
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

QString FindBar::text() const {
    return field_->text();
}

void FindBar::setFound(bool found) {
    field_->setStyleSheet(found ? QString() : QString("QLineEdit { background: #f8d7d7; }"));
}

void FindBar::setCount(size_t position, size_t count) {
    if (field_->text().isEmpty())
        count_->clear();
    else if (count == 0)
        count_->setText(tr("No match"));
    else
        count_->setText(tr("%1 of %2").arg(position).arg(count));
}

QString FindBar::countText() const {
    return count_->text();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        emit closed();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pathwicks
