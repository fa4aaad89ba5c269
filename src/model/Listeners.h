#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace pathwicks {

// Any number of functions to call when something happens. A listener may remove itself, or
// others, while they are being called: a removed one is not called again.
template <typename... Args>
class Listeners {
public:
    using Id = int;
    using Listener = std::function<void(Args...)>;

    Id add(Listener listener) {
        listeners_.push_back({nextId_, std::move(listener)});
        return nextId_++;
    }

    // One removed while the listeners run stays alive in their copy until they are done.
    void remove(Id id) {
        std::erase_if(listeners_, [id](const Entry& entry) { return entry.id == id; });
    }

    void operator()(Args... args) const {
        // A copy: listeners may add or remove while the others run.
        const std::vector<Entry> now = listeners_;
        for (const Entry& entry : now)
            if (isListening(entry.id))
                entry.listener(args...);
    }

private:
    struct Entry {
        Id id;
        Listener listener;
    };

    bool isListening(Id id) const {
        for (const Entry& entry : listeners_)
            if (entry.id == id)
                return true;
        return false;
    }

    std::vector<Entry> listeners_;
    Id nextId_ = 1;
};

} // namespace pathwicks
