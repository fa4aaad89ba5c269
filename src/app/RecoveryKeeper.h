#pragma once

#include "model/Listeners.h"
#include "model/RecoverySchedule.h"
#include "model/RecoveryWriter.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

class QWidget;

namespace pathwicks {

class Document;
class RecoverySlot;
class UserDialogs;
struct Rect;

// Keeps a recovery copy of one window's unsaved work, when model/RecoverySchedule says: the
// document is copied on the event loop's thread, and model/RecoveryWriter encodes and writes
// the copy on its background thread. Saving, undoing back to the saved state, or the keeper
// going (the window closed without saving) removes the copy. When the recovery folder cannot
// take copies, they stop for every window using it, with one notice.
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    // `frame` gives the window frame a save would write now.
    RecoveryKeeper(Document& document, std::function<Rect()> frame, UserDialogs& dialogs,
                   QWidget* window);
    ~RecoveryKeeper() override;

    // Takes over the slot of a restored copy, which already holds this document's work.
    void adopt(std::unique_ptr<RecoverySlot> slot);

    // The program is ending without closing its windows (SIGTERM, SIGHUP): copies the unsaved
    // work now, whatever the schedule says, and lets go of the copy so that it stays for the
    // next start. Nothing more is copied or removed by this keeper.
    void keepForNextStart();

    // How long after a first change the copy is made, and the least time between two copies
    // of one window (10 seconds in the program; tests shorten them), for keepers made from
    // now on.
    static void setDelays(int firstMs, int betweenMs);
    // Waits until every copy and removal asked for so far is on disk (tests and benchmarks).
    static void waitForWrites();
    // As waitForWrites, no longer than `limit`.
    static bool waitForWrites(std::chrono::milliseconds limit);

private:
    // The document may have changed, or was saved: told by its undo history.
    void documentChanged();
    void makeCopy();
    void failed(const QString& reason);

    Document& document_;
    std::function<Rect()> frame_;
    UserDialogs& dialogs_;
    QWidget* window_;
    QTimer timer_;
    RecoverySchedule schedule_;
    RecoveryWriter writer_;
    Listeners<>::Id changeListener_ = 0;
};

} // namespace pathwicks
