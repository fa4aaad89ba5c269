#include "app/TourMode.h"

#include "app/DocumentView.h"
#include "model/Document.h"
#include "model/TourOrder.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

#include <algorithm>

namespace pathwicks {

namespace {

constexpr int noticeTime = 4000; // milliseconds

QString oneLine(const std::string& text) {
    QString line = QString::fromStdString(text);
    line.replace('\n', ' ').replace('\r', ' ');
    return line;
}

} // namespace

TourMode::TourMode(Document& document, DocumentView& view, QStatusBar& statusBar,
                   QObject* parent)
    : QObject(parent), document_(document), view_(view), statusBar_(statusBar),
      stopLabel_(new QLabel(&statusBar)) {
    statusBar_.addWidget(stopLabel_, 1);
    stopLabel_->hide();
}

void TourMode::addActions(QMenu& menu) {
    QAction* start = menu.addAction(tr("Start &Tour"), this, &TourMode::start);
    start->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return),
                         QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    next_ = menu.addAction(tr("Ne&xt Stop"), this, &TourMode::next);
    next_->setShortcuts({Qt::Key_Right, Qt::Key_Space, Qt::Key_PageDown});
    previous_ = menu.addAction(tr("&Previous Stop"), this, &TourMode::previous);
    previous_->setShortcuts({Qt::Key_Left, Qt::Key_Backspace, Qt::Key_PageUp});
    end_ = menu.addAction(tr("&End Tour"), QKeySequence(Qt::Key_Escape), this, &TourMode::end);
    openEditor_ = menu.addAction(tr("Open &Editor at Each Stop"));
    openEditor_->setCheckable(true);
    setActive(false);
}

void TourMode::start() {
    stops_ = tourOrder(document_.model());
    if (stops_.empty()) {
        end();
        statusBar_.showMessage(tr("Nothing to tour: the document has no boxes"), noticeTime);
        return;
    }
    editsAtStart_ = document_.undoManager().edits();
    current_ = 0;
    setActive(true);
    show();
}

void TourMode::next() {
    if (!active_)
        return;
    current_ = (current_ + 1) % stops_.size();
    show();
}

void TourMode::previous() {
    if (!active_)
        return;
    current_ = (current_ + stops_.size() - 1) % stops_.size();
    show();
}

void TourMode::end() {
    if (!active_)
        return;
    setActive(false);
    stops_.clear();
}

void TourMode::documentChanged() {
    if (active_ && document_.undoManager().edits() != editsAtStart_)
        end();
}

void TourMode::show() {
    const ReferencePtr& stop = stops_[current_];
    const auto& content = document_.model().content();
    if (std::find(content.begin(), content.end(), stop) == content.end()) {
        end();
        return;
    }
    stopLabel_->setText(tr("Stop %1 of %2: %3")
                            .arg(current_ + 1)
                            .arg(stops_.size())
                            .arg(oneLine(stop->displayTitle())));
    view_.presentReference(stop, openEditor_ && openEditor_->isChecked());
}

void TourMode::setActive(bool active) {
    active_ = active;
    stopLabel_->setVisible(active);
    for (QAction* action : {next_, previous_, end_})
        if (action)
            action->setEnabled(active);
}

} // namespace pathwicks
