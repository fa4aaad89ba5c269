#pragma once

#include "model/Listeners.h"

#include <functional>
#include <vector>

namespace pathwicks {

// The undo history of one document. An edit registers a closure that takes it back; a closure
// registered while undoing becomes the redo step, one registered while redoing the undo step,
// so undo and redo share one mechanism. Steps registered while a group is open (the shell opens
// one around each event) are undone and redone together.
class UndoManager {
public:
    using Step = std::function<void()>;
    using Callback = std::function<void()>;
    using ObserverId = int;

    void registerUndo(Step step);

    void beginGroup();
    void endGroup();

    bool canUndo() const { return !undoStack_.empty() || !openGroup_.empty(); }
    bool canRedo() const { return !redoStack_.empty(); }
    bool isUndoing() const { return running_ == Running::undo; }
    bool isRedoing() const { return running_ == Running::redo; }

    // Runs the will-undo observers, then takes back the newest group as it stands after them.
    void undo();
    // Runs the will-redo observers, then does again the newest undone group.
    void redo();

    void removeAllActions();

    // The saved-state marker: unsaved changes are any difference from the state last marked.
    void markSaved();
    // No state in the history is the saved one (a document restored from a copy of unsaved
    // work): there are unsaved changes until the next save.
    void forgetSavedState();
    bool hasUnsavedChanges() const;
    // Grows with every edit registered, every undo and redo and every clearing of the history;
    // saving leaves it alone.
    unsigned long edits() const { return edits_; }

    ObserverId addWillUndoObserver(Callback callback);
    ObserverId addWillRedoObserver(Callback callback);
    void removeObserver(ObserverId id);

    // Called whenever what can be undone or redone, or the unsaved-changes flag, may have changed.
    Listeners<> changed;

private:
    using Group = std::vector<Step>;
    enum class Running { none, undo, redo };
    struct Observer {
        ObserverId id;
        bool beforeUndo;
        Callback callback;
    };

    void closeOpenGroup();
    void runObservers(bool beforeUndo);
    void run(std::vector<Group>& from, std::vector<Group>& to, Running running);
    void clearRedo();
    void notify() const;
    // How many groups lie between the empty history and the present state.
    long depth() const;

    std::vector<Group> undoStack_;
    std::vector<Group> redoStack_;
    Group openGroup_;
    int groupDepth_ = 0;
    Running running_ = Running::none;
    Group* collecting_ = nullptr;

    // Depth of the undo stack at the last save, or -1 when that state can no longer be reached.
    long savedDepth_ = 0;
    unsigned long edits_ = 0;

    std::vector<Observer> observers_;
    ObserverId nextObserverId_ = 1;
};

} // namespace pathwicks
