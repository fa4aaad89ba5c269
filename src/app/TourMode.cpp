#include "app/TourMode.h"

#include "app/DocumentView.h"
#include "app/PlainText.h"
#include "model/Document.h"
#include "model/TourOrder.h"

#include <QLabel>
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
      stopLabel_(plainLabel(QString(), &statusBar)) {
    statusBar_.addWidget(stopLabel_, 1);
    stopLabel_->hide();
    changeListener_ = document_.undoManager().changed.add([this] { documentChanged(); });
}

TourMode::~TourMode() {
    document_.undoManager().changed.remove(changeListener_);
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
    view_.presentReference(stop, opensEditor_);
}

void TourMode::setActive(bool active) {
    active_ = active;
    stopLabel_->setVisible(active);
    emit activeChanged();
}

} // namespace pathwicks
