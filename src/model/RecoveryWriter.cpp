#include "model/RecoveryWriter.h"

#include "model/Document.h"
#include "model/DocumentFile.h"
#include "model/RecoveryFolder.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <thread>

namespace pathwicks {

namespace {

// Recovery folders that could not take a copy in this run: no more copies go there.
struct StoppedFolders {
    std::mutex mutex;
    std::set<std::string> folders;
};

// The one background thread that writes and removes copies, in the order they were asked for.
// What is still queued when the program ends is done before it ends.
class WriterThread {
public:
    ~WriterThread() {
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

    // Kept here so that it lasts as long as the jobs that use it.
    StoppedFolders stopped;

    void waitUntilIdle() {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
    }
    bool waitUntilIdle(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        return idle_.wait_for(lock, limit, [this] { return jobs_.empty() && !busy_; });
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

WriterThread& writerThread() {
    static WriterThread instance;
    return instance;
}

StoppedFolders& stoppedFolders() {
    return writerThread().stopped;
}

bool isStopped(const std::string& folder) {
    auto& stopped = stoppedFolders();
    std::lock_guard lock(stopped.mutex);
    return stopped.folders.contains(folder);
}

} // namespace

RecoverySnapshot RecoverySnapshot::of(const Document& document, const Rect& frame, int64_t madeAt) {
    return {document.model().detachedCopy(), frame,
            RecoveryCopy{{}, document.path(), document.stamp(), madeAt}};
}

// What the writer and its jobs on the writer's thread share.
struct RecoveryWriter::State {
    std::string folder;
    std::unique_ptr<RecoverySlot> slot; // used on the writer's thread only

    // Told of the first failure while the writer lives.
    std::mutex mutex;
    Failed failed;

    void report(const std::string& reason) {
        std::lock_guard lock(mutex);
        if (!failed)
            return;
        auto& stopped = stoppedFolders();
        std::lock_guard stoppedLock(stopped.mutex);
        if (stopped.folders.insert(folder).second)
            failed(reason);
    }

    void write(RecoverySnapshot& snapshot) {
        if (isStopped(folder))
            return;
        auto bytes = DocumentFile::bytes(snapshot.model, snapshot.frame);
        if (!bytes)
            return; // a save could not write this document either
        snapshot.copy.documentBytes = std::move(*bytes);
        if (!slot) {
            auto made = RecoverySlot::create(folder);
            if (auto* failure = std::get_if<FileError>(&made)) {
                report(failure->message);
                return;
            }
            slot = std::move(std::get<std::unique_ptr<RecoverySlot>>(made));
        }
        // A write that fails leaves the last copy as it was: older work is better than none.
        if (auto failure = slot->write(RecoveryFile::encode(snapshot.copy)))
            report(failure->message);
    }
};

RecoveryWriter::RecoveryWriter(std::string folder, Failed failed)
    : state_(std::make_shared<State>()) {
    state_->folder = std::move(folder);
    state_->failed = std::move(failed);
}

RecoveryWriter::~RecoveryWriter() {
    {
        std::lock_guard lock(state_->mutex);
        state_->failed = nullptr;
    }
    writerThread().post([state = state_] {
        if (state->slot)
            state->slot->remove();
        state->slot.reset();
    });
}

void RecoveryWriter::adopt(std::unique_ptr<RecoverySlot> slot) {
    auto holder = std::make_shared<std::unique_ptr<RecoverySlot>>(std::move(slot));
    writerThread().post([state = state_, holder] { state->slot = std::move(*holder); });
}

void RecoveryWriter::write(RecoverySnapshot snapshot) {
    auto held = std::make_shared<RecoverySnapshot>(std::move(snapshot));
    writerThread().post([state = state_, held] { state->write(*held); });
}

void RecoveryWriter::remove() {
    writerThread().post([state = state_] {
        if (state->slot)
            state->slot->remove();
    });
}

void RecoveryWriter::release() {
    writerThread().post([state = state_] { state->slot.reset(); });
}

bool RecoveryWriter::stopped() const {
    return isStopped(state_->folder);
}

void RecoveryWriter::waitForWrites() {
    writerThread().waitUntilIdle();
}

bool RecoveryWriter::waitForWrites(std::chrono::milliseconds limit) {
    return writerThread().waitUntilIdle(limit);
}

} // namespace pathwicks
