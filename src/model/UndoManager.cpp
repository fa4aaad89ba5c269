#include "model/UndoManager.h"

#include <algorithm>

namespace pathwicks {

void UndoManager::registerUndo(Step step) {
    if (running_ != Running::none) {
        collecting_->push_back(std::move(step));
        return;
    }
    clearRedo();
    ++edits_;
    if (groupDepth_ > 0)
        openGroup_.push_back(std::move(step));
    else
        undoStack_.push_back(Group{std::move(step)});
    notify();
}

void UndoManager::beginGroup() { ++groupDepth_; }

void UndoManager::endGroup() {
    if (groupDepth_ == 0)
        return;
    if (--groupDepth_ == 0)
        closeOpenGroup();
}

void UndoManager::closeOpenGroup() {
    groupDepth_ = 0;
    if (openGroup_.empty())
        return;
    undoStack_.push_back(std::move(openGroup_));
    openGroup_.clear();
    notify();
}

void UndoManager::undo() { run(undoStack_, redoStack_, Running::undo); }

void UndoManager::redo() { run(redoStack_, undoStack_, Running::redo); }

void UndoManager::run(std::vector<Group>& from, std::vector<Group>& to, Running running) {
    if (running_ != Running::none)
        return;
    // An undo in the middle of an event takes back what that event did so far.
    closeOpenGroup();
    runObservers(running == Running::undo);
    if (from.empty())
        return;

    Group group = std::move(from.back());
    from.pop_back();
    Group opposite;
    running_ = running;
    collecting_ = &opposite;
    struct Reset {
        UndoManager& manager;
        ~Reset() {
            manager.running_ = Running::none;
            manager.collecting_ = nullptr;
        }
    } reset{*this};
    ++edits_;
    for (auto step = group.rbegin(); step != group.rend(); ++step)
        (*step)();
    if (!opposite.empty())
        to.push_back(std::move(opposite));
    notify();
}

void UndoManager::clearRedo() {
    if (redoStack_.empty())
        return;
    // The saved state was among the undone ones: nothing leads back to it any more.
    if (savedDepth_ > static_cast<long>(undoStack_.size()))
        savedDepth_ = -1;
    redoStack_.clear();
}

void UndoManager::removeAllActions() {
    ++edits_;
    savedDepth_ = hasUnsavedChanges() ? -1 : 0;
    undoStack_.clear();
    redoStack_.clear();
    openGroup_.clear();
    groupDepth_ = 0;
    notify();
}

long UndoManager::depth() const {
    return static_cast<long>(undoStack_.size() + (openGroup_.empty() ? 0 : 1));
}

void UndoManager::markSaved() {
    savedDepth_ = depth();
    notify();
}

void UndoManager::forgetSavedState() {
    savedDepth_ = -1;
    notify();
}

bool UndoManager::hasUnsavedChanges() const { return savedDepth_ != depth(); }

UndoManager::ObserverId UndoManager::addWillUndoObserver(Callback callback) {
    observers_.push_back({nextObserverId_, true, std::move(callback)});
    return nextObserverId_++;
}

UndoManager::ObserverId UndoManager::addWillRedoObserver(Callback callback) {
    observers_.push_back({nextObserverId_, false, std::move(callback)});
    return nextObserverId_++;
}

void UndoManager::removeObserver(ObserverId id) {
    std::erase_if(observers_, [id](const Observer& o) { return o.id == id; });
}

void UndoManager::runObservers(bool beforeUndo) {
    // An observer may add or remove observers while they run.
    const auto observers = observers_;
    for (const auto& observer : observers) {
        if (observer.beforeUndo == beforeUndo && observer.callback)
            observer.callback();
    }
}

void UndoManager::notify() const {
    changed();
}

} // namespace pathwicks
