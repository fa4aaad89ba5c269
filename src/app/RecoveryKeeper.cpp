#include "app/RecoveryKeeper.h"

#include "app/UserDialogs.h"
#include "model/Document.h"
#include "model/DocumentFile.h"
#include "model/RecoveryCopy.h"
#include "model/RecoveryFolder.h"

#include <QDateTime>
#include <QMetaObject>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <thread>

namespace pathwicks {

namespace {

int firstDelayMs = 1000;
int betweenDelayMs = 10'000;

// Recovery folders that could not take a copy in this run: no more copies go there.
std::set<std::string>& stoppedFolders() {
    static std::set<std::string> folders;
    return folders;
}

// The one background thread that writes and removes copies, in the order they were asked for.
// What is still queued when the program ends is done before it ends.
class Writer {
public:
    ~Writer() {
        {
            std::lock_guard lock(mutex_);
            ending_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

    void post(std::function<void()> job) {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
        wake_.notify_all();
    }

    void waitUntilIdle() {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
            if (jobs_.empty())
                return;
            auto job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
            lock.unlock();
            job();
            lock.lock();
            busy_ = false;
            if (jobs_.empty())
                idle_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> jobs_;
    bool busy_ = false;
    bool ending_ = false;
    std::thread thread_;
};

Writer& writer() {
    static Writer instance;
    return instance;
}

// What a copy is made from: taken on the event loop's thread, encoded on the writer's.
struct Snapshot {
    StepsModel model;
    Rect frame;
    RecoveryCopy copy; // everything but the document bytes
};

} // namespace

// What the keeper and its jobs on the writer's thread share.
struct RecoveryKeeper::Shared {
    std::string folder;
    std::unique_ptr<RecoverySlot> slot; // used on the writer's thread only, once adopted

    // The keeper, while it lives: jobs report failures to it.
    std::mutex mutex;
    RecoveryKeeper* keeper = nullptr;

    void report(const std::string& reason) {
        std::lock_guard lock(mutex);
        if (keeper) {
            QMetaObject::invokeMethod(
                keeper, [k = keeper, text = QString::fromStdString(reason)] { k->failed(text); },
                Qt::QueuedConnection);
        }
    }
};

RecoveryKeeper::RecoveryKeeper(Document& document, std::function<Rect()> frame,
                               UserDialogs& dialogs, QWidget* window)
    : document_(document), frame_(std::move(frame)), dialogs_(dialogs), window_(window),
      folder_(recoveryFolder()), shared_(std::make_shared<Shared>()) {
    shared_->folder = folder_;
    shared_->keeper = this;
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &RecoveryKeeper::makeCopy);
}

RecoveryKeeper::~RecoveryKeeper() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->keeper = nullptr;
    }
    // The window is closing without its work being kept: so goes the copy, and the lock.
    writer().post([shared = shared_] {
        if (shared->slot)
            shared->slot->remove();
        shared->slot.reset();
    });
}

void RecoveryKeeper::setDelays(int firstMs, int betweenMs) {
    firstDelayMs = firstMs;
    betweenDelayMs = betweenMs;
}

void RecoveryKeeper::waitForWrites() { writer().waitUntilIdle(); }

void RecoveryKeeper::adopt(std::unique_ptr<RecoverySlot> slot) {
    copyKept_ = slot && slot->hasCopy();
    // The slot changes hands on the writer's thread, after anything queued before.
    auto holder = std::make_shared<std::unique_ptr<RecoverySlot>>(std::move(slot));
    writer().post([shared = shared_, holder] { shared->slot = std::move(*holder); });
}

void RecoveryKeeper::documentChanged() {
    if (!document_.hasUnsavedChanges()) {
        timer_.stop();
        dropCopy();
        return;
    }
    if (timer_.isActive() || stoppedFolders().contains(folder_))
        return;
    qint64 wait = firstDelayMs;
    if (sinceCopy_.isValid())
        wait = std::max(wait, betweenDelayMs - sinceCopy_.elapsed());
    timer_.start(int(wait));
}

void RecoveryKeeper::makeCopy() {
    if (!document_.hasUnsavedChanges() || stoppedFolders().contains(folder_))
        return;
    auto snapshot = std::make_shared<Snapshot>(Snapshot{
        document_.model().detachedCopy(), frame_(),
        RecoveryCopy{{}, document_.path(), document_.stamp(),
                     QDateTime::currentSecsSinceEpoch()}});
    sinceCopy_.start();
    copyKept_ = true;
    writer().post([shared = shared_, snapshot] {
        auto bytes = DocumentFile::bytes(snapshot->model, snapshot->frame);
        if (!bytes)
            return; // a save could not write this document either
        snapshot->copy.documentBytes = std::move(*bytes);
        if (!shared->slot) {
            auto made = RecoverySlot::create(shared->folder);
            if (auto* failure = std::get_if<FileError>(&made)) {
                shared->report(failure->message);
                return;
            }
            shared->slot = std::move(std::get<std::unique_ptr<RecoverySlot>>(made));
        }
        // A write that fails leaves the last copy as it was: older work is better than none.
        if (auto failure = shared->slot->write(RecoveryFile::encode(snapshot->copy)))
            shared->report(failure->message);
    });
}

void RecoveryKeeper::dropCopy() {
    if (!copyKept_)
        return;
    copyKept_ = false;
    writer().post([shared = shared_] {
        if (shared->slot)
            shared->slot->remove();
    });
}

void RecoveryKeeper::failed(const QString& reason) {
    timer_.stop();
    if (!stoppedFolders().insert(folder_).second)
        return;
    dialogs_.tell(window_,
                  tr("Copies of unsaved work for recovery after a crash are turned off: %1\n\n"
                     "Saving works as before.")
                      .arg(reason));
}

} // namespace pathwicks
