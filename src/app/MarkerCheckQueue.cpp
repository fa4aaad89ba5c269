#include "app/MarkerCheckQueue.h"

#include <QCoreApplication>
#include <QPointer>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace pathwicks {

MarkerCheckQueue::MarkerCheckQueue(QObject* parent)
    : QObject(parent), schedule_([this](const auto& search) { start(search); }),
      link_(std::make_shared<Link>()) {
    link_->queue = this;
}

MarkerCheckQueue::~MarkerCheckQueue() {
    schedule_.cancelAll();
    std::unique_lock lock(link_->mutex);
    link_->ended.wait_for(lock, endingWait, [this] { return link_->running == 0; });
    // A thread still searching finds nobody to tell when it ends.
    link_->queue = nullptr;
    const auto finished = link_->finished;
    lock.unlock();
    for (auto& [search, thread] : threads_) {
        if (finished.contains(search))
            thread.join();
        else
            thread.detach();
    }
}

namespace {

// The search yields to the window: on Linux the priority is the thread's own, and the walk's
// threads started from it inherit it.
void lowerThisThreadsPriority() {
#ifdef __linux__
    ::setpriority(PRIO_PROCESS, id_t(::syscall(SYS_gettid)), 10);
#endif
}

QPointer<MarkerCheckQueue>& sharedQueue() {
    static QPointer<MarkerCheckQueue> queue;
    return queue;
}

} // namespace

MarkerCheckQueue& MarkerCheckQueue::shared() {
    auto& queue = sharedQueue();
    if (!queue)
        queue = new MarkerCheckQueue(QCoreApplication::instance());
    return *queue;
}

MarkerCheckQueue* MarkerCheckQueue::existing() {
    return sharedQueue().data();
}

void MarkerCheckQueue::start(const MarkerCheckSchedule::SearchPtr& search) {
    {
        std::lock_guard lock(link_->mutex);
        ++link_->running;
    }
    threads_[search.get()] = std::thread([link = link_, search] {
        lowerThisThreadsPriority();
        Outcome outcome = MarkerCheckSchedule::run(*search);
        std::lock_guard lock(link->mutex);
        --link->running;
        link->finished.insert(search.get());
        link->ended.notify_all();
        MarkerCheckQueue* queue = link->queue;
        if (!queue)
            return;
        // The queue cannot go while this holds the link's lock, and what is posted to it goes
        // with it.
        QMetaObject::invokeMethod(
            queue,
            [queue, search, outcome = std::move(outcome)]() mutable {
                if (auto it = queue->threads_.find(search.get()); it != queue->threads_.end()) {
                    it->second.join();
                    queue->threads_.erase(it);
                }
                {
                    std::lock_guard lock(queue->link_->mutex);
                    queue->link_->finished.erase(search.get());
                }
                queue->schedule_.finished(search, std::move(outcome));
            },
            Qt::QueuedConnection);
    });
}

} // namespace pathwicks
