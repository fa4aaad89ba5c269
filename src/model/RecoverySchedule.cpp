#include "model/RecoverySchedule.h"

#include <algorithm>

namespace pathwicks {

RecoverySchedule::Step RecoverySchedule::changed(int64_t now, bool unsaved, bool waiting,
                                                 bool stopped) {
    Step step;
    if (!unsaved) {
        step.cancelWait = true;
        step.removeCopy = copyKept_;
        copyKept_ = false;
        return step;
    }
    if (waiting || stopped)
        return step;
    int64_t wait = delays_.firstMs;
    if (lastCopy_)
        wait = std::max(wait, delays_.betweenMs - (now - *lastCopy_));
    step.copyInMs = wait;
    return step;
}

bool RecoverySchedule::copyNow(int64_t now, bool unsaved, bool stopped) {
    if (!unsaved || stopped)
        return false;
    lastCopy_ = now;
    copyKept_ = true;
    return true;
}

} // namespace pathwicks
