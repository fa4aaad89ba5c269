#pragma once

#include "model/MarkerStates.h"

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace pathwicks {

// The order of the windows' marker checks, without the threads they run on. One search per
// folder at a time; a newer check of an owner (a window) cancels its older one, running or
// waiting; a folder being searched is searched again only once that search ends; done is never
// called for a cancelled check. All of it is called on one thread, the windows'.
class MarkerCheckSchedule {
public:
    // The states, or a message when the folder could not be searched.
    using Outcome = std::variant<MarkerStates, std::string>;
    using Done = std::function<void(Outcome)>;

    // One check. Only `cancelled` may be touched on another thread while it runs.
    struct Search {
        const void* owner = nullptr;
        std::string folder;
        std::vector<std::string> ids;
        Done done;
        std::atomic<bool> cancelled{false};
    };
    using SearchPtr = std::shared_ptr<Search>;

    // Starts a search somewhere else (a thread of its own in the program); whoever runs it calls
    // finished() on this schedule's thread once it ends, cancelled or not.
    using Start = std::function<void(const SearchPtr&)>;

    explicit MarkerCheckSchedule(Start start);

    // Checks folder for the ids; done is called from finished(), never for a cancelled check.
    void check(const void* owner, std::string folder, std::vector<std::string> ids, Done done);
    // Cancels the owner's check, running or waiting.
    void cancel(const void* owner);
    // Cancels every check; the searches running still have to be waited for.
    void cancelAll();
    // A started search ended: the next search of its folder starts, then its done is called
    // unless it was cancelled.
    void finished(SearchPtr search, Outcome outcome);

    // Searches running now, one at most per folder.
    size_t runningCount() const { return running_.size(); }
    bool isBusy(const void* owner) const;

    // Runs the search, on any thread: `pathwicks check`'s search of the folder.
    static Outcome run(const Search& search);

private:
    void startWaiting();

    Start start_;
    std::map<std::string, SearchPtr> running_; // by folder
    std::deque<SearchPtr> waiting_;
};

} // namespace pathwicks
