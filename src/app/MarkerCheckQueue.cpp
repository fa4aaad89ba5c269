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
    : QObject(parent), schedule_([this](const auto& search) { start(search); }) {}

MarkerCheckQueue::~MarkerCheckQueue() {
    schedule_.cancelAll();
    for (auto& [search, thread] : threads_)
        thread.join();
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
    threads_[search.get()] = std::thread([this, search] {
        lowerThisThreadsPriority();
        Outcome outcome = MarkerCheckSchedule::run(*search);
        // The queue waits for this thread before it goes, so it is still there to post to.
        QMetaObject::invokeMethod(
            this,
            [this, search, outcome = std::move(outcome)]() mutable {
                if (auto it = threads_.find(search.get()); it != threads_.end()) {
                    it->second.join();
                    threads_.erase(it);
                }
                schedule_.finished(search, std::move(outcome));
            },
            Qt::QueuedConnection);
    });
}

} // namespace pathwicks
