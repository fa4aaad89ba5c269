#include "app/MarkerCheckQueue.h"

#include "goto/MarkerCheck.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace pathwicks {

MarkerCheckQueue::MarkerCheckQueue(QObject* parent) : QObject(parent) {}

MarkerCheckQueue::~MarkerCheckQueue() {
    waiting_.clear();
    for (auto& [folder, running] : running_)
        running.job->cancelled = true;
    for (auto& [folder, running] : running_)
        running.thread.join();
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

void MarkerCheckQueue::check(const void* owner, std::string folder, std::vector<std::string> ids,
                             Done done) {
    cancel(owner);
    auto job = std::make_shared<Job>();
    job->owner = owner;
    job->folder = std::move(folder);
    job->ids = std::move(ids);
    job->done = std::move(done);
    waiting_.push_back(std::move(job));
    startWaiting();
}

void MarkerCheckQueue::cancel(const void* owner) {
    std::erase_if(waiting_, [owner](const auto& job) { return job->owner == owner; });
    for (auto& [folder, running] : running_) {
        if (running.job->owner == owner)
            running.job->cancelled = true;
    }
}

bool MarkerCheckQueue::isBusy(const void* owner) const {
    const auto owns = [owner](const std::shared_ptr<Job>& job) {
        return job->owner == owner && !job->cancelled;
    };
    return std::any_of(waiting_.begin(), waiting_.end(), owns) ||
           std::any_of(running_.begin(), running_.end(),
                       [&](const auto& entry) { return owns(entry.second.job); });
}

void MarkerCheckQueue::startWaiting() {
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (running_.count((*it)->folder)) {
            ++it;
            continue;
        }
        auto job = std::move(*it);
        it = waiting_.erase(it);
        start(std::move(job));
    }
}

void MarkerCheckQueue::start(std::shared_ptr<Job> job) {
    Running& running = running_[job->folder];
    running.job = job;
    running.thread = std::thread([this, job] {
        lowerThisThreadsPriority();
        auto searched = checkMarkers(job->folder, job->ids, &job->cancelled);
        Outcome outcome;
        if (auto* states = std::get_if<MarkerStates>(&searched))
            outcome = std::move(*states);
        else if (auto* error = std::get_if<std::string>(&searched))
            outcome = std::move(*error);
        // The queue waits for this thread before it goes, so it is still there to post to.
        QMetaObject::invokeMethod(
            this,
            [this, job, outcome = std::move(outcome)]() mutable {
                finished(job, std::move(outcome));
            },
            Qt::QueuedConnection);
    });
}

void MarkerCheckQueue::finished(const std::shared_ptr<Job>& job, Outcome outcome) {
    if (auto it = running_.find(job->folder); it != running_.end() && it->second.job == job) {
        it->second.thread.join();
        running_.erase(it);
    }
    // The next search of the folder starts before this result is handed on, whatever its
    // receiver does with it.
    startWaiting();
    if (!job->cancelled && job->done)
        job->done(std::move(outcome));
}

} // namespace pathwicks
