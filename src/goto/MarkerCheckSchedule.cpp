#include "goto/MarkerCheckSchedule.h"

#include "goto/MarkerCheck.h"

#include <algorithm>

namespace pathwicks {

MarkerCheckSchedule::MarkerCheckSchedule(Start start) : start_(std::move(start)) {}

void MarkerCheckSchedule::check(const void* owner, std::string folder, std::vector<std::string> ids,
                                Done done) {
    cancel(owner);
    auto search = std::make_shared<Search>();
    search->owner = owner;
    search->folder = std::move(folder);
    search->ids = std::move(ids);
    search->done = std::move(done);
    waiting_.push_back(std::move(search));
    startWaiting();
}

void MarkerCheckSchedule::cancel(const void* owner) {
    std::erase_if(waiting_, [owner](const SearchPtr& search) { return search->owner == owner; });
    for (auto& [folder, search] : running_) {
        if (search->owner == owner)
            search->cancelled = true;
    }
}

void MarkerCheckSchedule::cancelAll() {
    waiting_.clear();
    for (auto& [folder, search] : running_)
        search->cancelled = true;
}

void MarkerCheckSchedule::finished(SearchPtr search, Outcome outcome) {
    if (auto it = running_.find(search->folder); it != running_.end() && it->second == search)
        running_.erase(it);
    // The next search of the folder starts before this result is handed on, whatever its
    // receiver does with it.
    startWaiting();
    if (!search->cancelled && search->done)
        search->done(std::move(outcome));
}

bool MarkerCheckSchedule::isBusy(const void* owner) const {
    const auto owns = [owner](const SearchPtr& search) {
        return search->owner == owner && !search->cancelled;
    };
    return std::any_of(waiting_.begin(), waiting_.end(), owns) ||
           std::any_of(running_.begin(), running_.end(),
                       [&](const auto& entry) { return owns(entry.second); });
}

void MarkerCheckSchedule::startWaiting() {
    std::vector<SearchPtr> starting;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (running_.contains((*it)->folder)) {
            ++it;
            continue;
        }
        running_[(*it)->folder] = *it;
        starting.push_back(std::move(*it));
        it = waiting_.erase(it);
    }
    // Started once the lists are settled, so that a start may end its search at once.
    for (const SearchPtr& search : starting)
        start_(search);
}

MarkerCheckSchedule::Outcome MarkerCheckSchedule::run(const Search& search) {
    auto searched = checkMarkers(search.folder, search.ids, &search.cancelled);
    if (auto* states = std::get_if<MarkerStates>(&searched))
        return std::move(*states);
    if (auto* error = std::get_if<std::string>(&searched))
        return std::move(*error);
    return MarkerStates{}; // cancelled: nobody is told
}

} // namespace pathwicks
