#pragma once

#include <cstdint>
#include <optional>

namespace pathwicks {

// When a window copies its unsaved work for recovery after a crash: a while after a change, then
// at most once per interval; saving, or undoing back to the saved state, removes the copy.
// Times are milliseconds of a steady clock, given by the caller.
class RecoverySchedule {
public:
    struct Delays {
        int64_t firstMs = 1000;     // from a first change to its copy
        int64_t betweenMs = 10'000; // the least time between two copies
    };

    // What to do after the document may have changed.
    struct Step {
        bool cancelWait = false;         // a planned copy is not made
        bool removeCopy = false;         // the copy on disk goes
        std::optional<int64_t> copyInMs; // plan a copy after this wait
    };

    explicit RecoverySchedule(Delays delays) : delays_(delays) {}

    // `unsaved`: the document differs from its file; `waiting`: a copy is planned already;
    // `stopped`: the folder takes no copies.
    Step changed(int64_t now, bool unsaved, bool waiting, bool stopped);
    // The planned time has come: whether to copy now. A copy made counts from now on.
    bool copyNow(int64_t now, bool unsaved, bool stopped);
    // A restored copy was taken over: it is removed as one made here would be.
    void adopted(bool hasCopy) { copyKept_ = hasCopy; }

private:
    Delays delays_;
    std::optional<int64_t> lastCopy_;
    bool copyKept_ = false;
};

} // namespace pathwicks
