#include "app/PaintingThread.h"

#include "app/QtTextMeasurer.h"

#include <QGuiApplication>
#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace pathwicks {

namespace {

using Task = std::function<void(const QtTextMeasurer&)>;

// The thread, waiting for a task between frames. It ends with the application, while the
// fonts it made can still be let go.
class Worker {
public:
    Worker() : thread_(QThread::create([this] { serve(); })) { thread_->start(); }

    ~Worker() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_->wait();
    }

    void start(const Task& task) {
        {
            const std::lock_guard lock(mutex_);
            task_ = &task;
            begun_ = false;
        }
        wake_.notify_one();
    }

    // Takes back the task if it has not begun; otherwise waits for it to end.
    bool withdraw() {
        std::unique_lock lock(mutex_);
        if (!begun_) {
            task_ = nullptr;
            return true;
        }
        done_.wait(lock, [this] { return task_ == nullptr; });
        return false;
    }

private:
    void serve() {
        const QtTextMeasurer fonts;
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return (task_ != nullptr && !begun_) || stopping_; });
            if (stopping_)
                return;
            begun_ = true;
            const Task& task = *task_;
            lock.unlock();
            task(fonts);
            lock.lock();
            task_ = nullptr;
            done_.notify_one();
        }
    }

    std::unique_ptr<QThread> thread_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const Task* task_ = nullptr;
    bool begun_ = false;
    bool stopping_ = false;
};

std::mutex workerInUse;
Worker* worker = nullptr; // with workerInUse held

void stopWorker() {
    const std::lock_guard lock(workerInUse);
    delete worker;
    worker = nullptr;
}

} // namespace

bool paintAlongside(const QtTextMeasurer& fonts, const std::function<void()>& here,
                    const Task& there) {
    std::unique_lock lock(workerInUse, std::try_to_lock);
    if (!lock.owns_lock() || QThread::idealThreadCount() < 2 ||
        !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    if (!worker) {
        // The first frame, often a window's first, is painted here before the thread starts:
        // the fonts the thread makes would hold up the fonts that frame needs.
        here();
        there(fonts);
        worker = new Worker;
        qAddPostRoutine(stopWorker);
        return true;
    }
    worker->start(there);
    // The task refers to what the caller holds: it must have ended, or be taken back, before
    // this returns, come what may.
    try {
        here();
    } catch (...) {
        worker->withdraw();
        throw;
    }
    if (worker->withdraw())
        there(fonts);
    return true;
}

} // namespace pathwicks
