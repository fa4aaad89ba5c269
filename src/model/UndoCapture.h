#pragma once

#include "model/UndoManager.h"

#include <functional>
#include <memory>
#include <utility>

namespace pathwicks {

// Registers an undo step for an edit of `owner`. The step holds the owner weakly and whatever
// the closure captures strongly; once the owner is gone the step does nothing. An owner that
// is not itself held by a shared_ptr passes one that shares the life of a token it owns.
// Without an undo manager the edit simply has no undo step.
template <class Owner>
void registerUndo(UndoManager* manager, const std::shared_ptr<Owner>& owner,
                  std::function<void(Owner&)> step) {
    if (!manager)
        return;
    manager->registerUndo([weakOwner = std::weak_ptr<Owner>(owner), step = std::move(step)] {
        if (auto strongOwner = weakOwner.lock())
            step(*strongOwner);
    });
}

} // namespace pathwicks
