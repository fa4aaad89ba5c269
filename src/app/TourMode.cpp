#include "app/TourMode.h"

#include "app/CanvasWidget.h"
#include "app/DocumentView.h"
#include "app/PlainText.h"
#include "model/Document.h"
#include "model/TourOrder.h"

#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QStatusBar>

#include <algorithm>

namespace pathwicks {

namespace {

constexpr int noticeTime = 4000; // milliseconds
constexpr int noteMargin = 12;    // between the note's panel and the view's edges
constexpr int noteWidth = 640;    // at most

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
    makeNotePanel();
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
    showNote(stop->note);
    stopLabel_->setText(tr("Stop %1 of %2: %3")
                            .arg(current_ + 1)
                            .arg(stops_.size())
                            .arg(oneLine(stop->displayTitle())));
    view_.presentReference(stop, opensEditor_);
}

void TourMode::setActive(bool active) {
    active_ = active;
    stopLabel_->setVisible(active);
    if (!active)
        notePanel_->hide();
    emit activeChanged();
}

void TourMode::makeNotePanel() {
    QWidget* viewport = view_.canvasWidget().parentWidget();
    notePanel_ = new QScrollArea(viewport);
    notePanel_->setObjectName("tourNote");
    notePanel_->setWidgetResizable(true);
    notePanel_->setFocusPolicy(Qt::NoFocus);
    notePanel_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    notePanel_->setBackgroundRole(QPalette::ToolTipBase);
    noteText_ = new QLabel(notePanel_);
    // A note is shown as written: never as markup, whatever it holds.
    noteText_->setTextFormat(Qt::PlainText);
    noteText_->setWordWrap(true);
    noteText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    noteText_->setMargin(8);
    noteText_->setForegroundRole(QPalette::ToolTipText);
    noteText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    notePanel_->setWidget(noteText_);
    notePanel_->hide();
    viewport->installEventFilter(this);
}

void TourMode::showNote(const std::string& note) {
    const QString text = QString::fromStdString(note);
    noteText_->setText(text);
    notePanel_->setVisible(!text.trimmed().isEmpty());
    if (notePanel_->isVisible()) {
        notePanel_->raise();
        placeNote();
    }
}

void TourMode::placeNote() {
    const QWidget* viewport = notePanel_->parentWidget();
    const int width = std::min(noteWidth, viewport->width() - 2 * noteMargin);
    if (width <= 0)
        return;
    const int frame = 2 * notePanel_->frameWidth();
    const int height = std::min(noteText_->heightForWidth(width - frame) + frame,
                                std::max(viewport->height() / 3, 40));
    notePanel_->setGeometry((viewport->width() - width) / 2,
                            viewport->height() - height - noteMargin, width, height);
}

bool TourMode::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && notePanel_->isVisible())
        placeNote();
    return QObject::eventFilter(watched, event);
}

} // namespace pathwicks
