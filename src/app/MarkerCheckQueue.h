#pragma once

#include "model/MarkerStates.h"

#include <QObject>

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <variant>
#include <vector>

namespace pathwicks {

// Runs the windows' marker checks, each on a thread of its own, and hands their results back on
// the thread of the window. A newer check of an owner (a window) cancels its older one, running
// or waiting; a folder that is being searched is not searched again until that search ends, so
// two windows never search the same folder at once.
class MarkerCheckQueue : public QObject {
    Q_OBJECT
public:
    // The states, or a message when the folder could not be searched.
    using Outcome = std::variant<MarkerStates, std::string>;
    using Done = std::function<void(Outcome)>;

    explicit MarkerCheckQueue(QObject* parent = nullptr);
    // Cancels every search and waits for its thread.
    ~MarkerCheckQueue() override;

    // The queue every window uses, made on first use and gone with the application.
    static MarkerCheckQueue& shared();
    // The shared queue if it was made and is not gone yet.
    static MarkerCheckQueue* existing();

    // Searches folder for the ids; done is called later, never for a cancelled check.
    void check(const void* owner, std::string folder, std::vector<std::string> ids, Done done);
    // Cancels the owner's check, running or waiting: its done is never called.
    void cancel(const void* owner);

    // Searches running now, one at most per folder.
    size_t runningCount() const { return running_.size(); }
    bool isBusy(const void* owner) const;

private:
    struct Job {
        const void* owner;
        std::string folder;
        std::vector<std::string> ids;
        Done done;
        std::atomic<bool> cancelled{false};
    };
    struct Running {
        std::shared_ptr<Job> job;
        std::thread thread;
    };

    void startWaiting();
    void start(std::shared_ptr<Job> job);
    void finished(const std::shared_ptr<Job>& job, Outcome outcome);

    std::map<std::string, Running> running_; // by folder
    std::deque<std::shared_ptr<Job>> waiting_;
};

} // namespace pathwicks
