#include "app/RecoveryKeeper.h"

#include "app/UserDialogs.h"
#include "model/Document.h"
#include "model/RecoveryFolder.h"

#include <QDateTime>
#include <QMetaObject>

#include <chrono>

namespace pathwicks {

namespace {

RecoverySchedule::Delays delays;

// Milliseconds of a steady clock.
int64_t now() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

RecoveryKeeper::RecoveryKeeper(Document& document, std::function<Rect()> frame,
                               UserDialogs& dialogs, QWidget* window)
    : document_(document), frame_(std::move(frame)), dialogs_(dialogs), window_(window),
      schedule_(delays),
      // Told on the writer's thread, while the keeper lives; the notice comes on this one.
      writer_(recoveryFolder(), [this](const std::string& reason) {
          QMetaObject::invokeMethod(
              this, [this, text = QString::fromStdString(reason)] { failed(text); },
              Qt::QueuedConnection);
      }) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &RecoveryKeeper::makeCopy);
    changeListener_ = document_.undoManager().changed.add([this] { documentChanged(); });
}

// The writer going removes the copy and its lock: the window is closing without its work being
// kept.
RecoveryKeeper::~RecoveryKeeper() {
    document_.undoManager().changed.remove(changeListener_);
}

void RecoveryKeeper::setDelays(int firstMs, int betweenMs) {
    delays = {firstMs, betweenMs};
}

void RecoveryKeeper::waitForWrites() {
    RecoveryWriter::waitForWrites();
}

bool RecoveryKeeper::waitForWrites(std::chrono::milliseconds limit) {
    return RecoveryWriter::waitForWrites(limit);
}

void RecoveryKeeper::adopt(std::unique_ptr<RecoverySlot> slot) {
    schedule_.adopted(slot && slot->hasCopy());
    writer_.adopt(std::move(slot));
}

void RecoveryKeeper::keepForNextStart() {
    timer_.stop();
    document_.undoManager().changed.remove(changeListener_);
    if (document_.hasUnsavedChanges() && !writer_.stopped())
        writer_.write(
            RecoverySnapshot::of(document_, frame_(), QDateTime::currentSecsSinceEpoch()));
    writer_.release();
}

void RecoveryKeeper::documentChanged() {
    const auto step = schedule_.changed(now(), document_.hasUnsavedChanges(), timer_.isActive(),
                                        writer_.stopped());
    if (step.cancelWait)
        timer_.stop();
    if (step.removeCopy)
        writer_.remove();
    if (step.copyInMs)
        timer_.start(int(*step.copyInMs));
}

void RecoveryKeeper::makeCopy() {
    if (!schedule_.copyNow(now(), document_.hasUnsavedChanges(), writer_.stopped()))
        return;
    writer_.write(RecoverySnapshot::of(document_, frame_(), QDateTime::currentSecsSinceEpoch()));
}

void RecoveryKeeper::failed(const QString& reason) {
    timer_.stop();
    dialogs_.tell(window_,
                  tr("Copies of unsaved work for recovery after a crash are turned off: %1\n\n"
                     "Saving works as before.")
                      .arg(reason));
}

} // namespace pathwicks
