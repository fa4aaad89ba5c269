#pragma once

#include "goto/MarkerCheckSchedule.h"

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace pathwicks {

// Runs the windows' marker checks in the order goto/MarkerCheckSchedule keeps, each search on a
// thread of its own, and hands their results back on the thread of the window.
class MarkerCheckQueue : public QObject {
    Q_OBJECT
public:
    using Outcome = MarkerCheckSchedule::Outcome;
    using Done = MarkerCheckSchedule::Done;

    explicit MarkerCheckQueue(QObject* parent = nullptr);
    // Cancels every search and waits for their threads, but no longer than endingWait: a
    // search still running then is left to end with the process, never told.
    ~MarkerCheckQueue() override;

    static constexpr std::chrono::milliseconds endingWait{500};

    // The queue every window uses, made on first use and gone with the application.
    static MarkerCheckQueue& shared();
    // The shared queue if it was made and is not gone yet.
    static MarkerCheckQueue* existing();

    // Searches folder for the ids; done is called later, never for a cancelled check.
    void check(const void* owner, std::string folder, std::vector<std::string> ids, Done done) {
        schedule_.check(owner, std::move(folder), std::move(ids), std::move(done));
    }
    // Cancels the owner's check, running or waiting: its done is never called.
    void cancel(const void* owner) { schedule_.cancel(owner); }

    // Searches running now, one at most per folder.
    size_t runningCount() const { return schedule_.runningCount(); }
    bool isBusy(const void* owner) const { return schedule_.isBusy(owner); }

private:
    void start(const MarkerCheckSchedule::SearchPtr& search);

    // What the searches' threads share with the queue, and keep when it goes first.
    struct Link {
        std::mutex mutex;
        std::condition_variable ended;
        MarkerCheckQueue* queue = nullptr; // none once the queue is going
        size_t running = 0;
        std::set<const MarkerCheckSchedule::Search*> finished; // whose threads end now
    };

    MarkerCheckSchedule schedule_;
    std::shared_ptr<Link> link_;
    std::map<const MarkerCheckSchedule::Search*, std::thread> threads_;
};

} // namespace pathwicks
