#include "model/UndoCapture.h"
#include "model/UndoManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace pathwicks;

namespace {

// A value edited the way the canvas edits: every change registers its own inverse.
struct Counter {
    int value = 0;
    UndoManager* undo = nullptr;
    std::shared_ptr<Counter> self;

    void set(int newValue) {
        const int old = value;
        registerUndo<Counter>(undo, self, [old](Counter& c) { c.set(old); });
        value = newValue;
    }
};

std::shared_ptr<Counter> counterWith(UndoManager& undo) {
    auto counter = std::make_shared<Counter>();
    counter->undo = &undo;
    counter->self = counter;
    return counter;
}

} // namespace

TEST(UndoManager, UndoAndRedoWalkThroughTheEdits) {
    UndoManager undo;
    auto counter = counterWith(undo);
    counter->set(1);
    counter->set(2);
    undo.undo();
    EXPECT_EQ(counter->value, 1);
    undo.undo();
    EXPECT_EQ(counter->value, 0);
    EXPECT_FALSE(undo.canUndo());
    undo.undo(); // nothing left: nothing happens
    undo.redo();
    undo.redo();
    EXPECT_EQ(counter->value, 2);
    EXPECT_FALSE(undo.canRedo());
    undo.undo();
    EXPECT_EQ(counter->value, 1);
    counter->self.reset();
}

TEST(UndoManager, ANewEditClearsTheRedoList) {
    UndoManager undo;
    auto counter = counterWith(undo);
    counter->set(1);
    undo.undo();
    EXPECT_TRUE(undo.canRedo());
    counter->set(5);
    EXPECT_FALSE(undo.canRedo());
    undo.undo();
    EXPECT_EQ(counter->value, 0);
    counter->self.reset();
}

TEST(UndoManager, StepsOfOneEventAreOneAction) {
    UndoManager undo;
    auto counter = counterWith(undo);
    undo.beginGroup();
    counter->set(1);
    counter->set(2);
    counter->set(3);
    undo.endGroup();
    counter->set(4);
    undo.undo();
    EXPECT_EQ(counter->value, 3);
    undo.undo();
    EXPECT_EQ(counter->value, 0);
    undo.redo();
    EXPECT_EQ(counter->value, 3);
    counter->self.reset();
}

TEST(UndoManager, UndoDuringAnEventTakesBackWhatItDidSoFar) {
    UndoManager undo;
    auto counter = counterWith(undo);
    undo.beginGroup();
    counter->set(7);
    undo.undo();
    undo.endGroup();
    EXPECT_EQ(counter->value, 0);
    undo.redo();
    EXPECT_EQ(counter->value, 7);
    counter->self.reset();
}

TEST(UndoManager, ObserversRunFirstAndTheirStepIsTheOneUndone) {
    UndoManager undo;
    auto counter = counterWith(undo);
    counter->set(1);
    std::vector<std::string> calls;
    // Like a text field that commits its typing just before an undo.
    bool typing = true;
    undo.addWillUndoObserver([&] {
        calls.push_back("will-undo");
        if (typing)
            counter->set(9);
        typing = false;
    });
    const auto redoObserver = undo.addWillRedoObserver([&] { calls.push_back("will-redo"); });
    undo.undo();
    EXPECT_EQ(counter->value, 1);
    undo.undo();
    EXPECT_EQ(counter->value, 0);
    undo.redo();
    undo.removeObserver(redoObserver);
    undo.redo();
    EXPECT_EQ(calls, (std::vector<std::string>{"will-undo", "will-undo", "will-redo"}));
    EXPECT_EQ(counter->value, 9); // the committed typing is redone last
    counter->self.reset();
}

TEST(UndoManager, TheSavedMarkerFollowsUndoAndRedo) {
    UndoManager undo;
    int notifications = 0;
    undo.changed.add([&] { ++notifications; });
    auto counter = counterWith(undo);
    EXPECT_FALSE(undo.hasUnsavedChanges());
    counter->set(1);
    EXPECT_TRUE(undo.hasUnsavedChanges());
    undo.markSaved();
    EXPECT_FALSE(undo.hasUnsavedChanges());
    undo.undo();
    EXPECT_TRUE(undo.hasUnsavedChanges());
    undo.redo();
    EXPECT_FALSE(undo.hasUnsavedChanges());

    // Once the saved state lies on a discarded redo list, nothing leads back to it.
    undo.undo();
    counter->set(1);
    EXPECT_TRUE(undo.hasUnsavedChanges());
    undo.undo();
    EXPECT_TRUE(undo.hasUnsavedChanges());
    EXPECT_GT(notifications, 0);

    undo.beginGroup();
    counter->set(3);
    undo.markSaved();
    undo.endGroup();
    EXPECT_FALSE(undo.hasUnsavedChanges());
    counter->self.reset();
}

TEST(UndoManager, AStepWhoseOwnerIsGoneDoesNothing) {
    UndoManager undo;
    auto counter = counterWith(undo);
    counter->set(1);
    std::weak_ptr<Counter> watch = counter;
    counter->self.reset();
    counter.reset();
    EXPECT_TRUE(watch.expired()); // the step holds its owner weakly
    undo.undo();
    EXPECT_FALSE(undo.canRedo());

    // Without an undo manager the edit still happens, with nothing to undo.
    auto loose = std::make_shared<Counter>();
    loose->self = loose;
    loose->set(4);
    EXPECT_EQ(loose->value, 4);
    loose->self.reset();
}

TEST(UndoManager, StepsKeepWhatTheyCaptureAlive) {
    UndoManager undo;
    auto owner = std::make_shared<int>(0);
    auto item = std::make_shared<std::string>("box");
    std::weak_ptr<std::string> watch = item;
    std::string restored;
    registerUndo<int>(&undo, owner, [item](int&) mutable { *item += "!"; });
    undo.registerUndo([&restored, item] { restored = *item; });
    item.reset();
    EXPECT_FALSE(watch.expired());
    undo.undo();
    undo.undo();
    EXPECT_EQ(restored, "box");
}

TEST(UndoManager, EveryListenerHearsOfChangesUntilItStops) {
    UndoManager undo;
    std::vector<std::string> heard;
    Listeners<>::Id second = 0;
    const auto first = undo.changed.add([&] {
        heard.push_back("first");
        undo.changed.remove(second); // the second stops before its turn
    });
    second = undo.changed.add([&] { heard.push_back("second"); });
    undo.changed.add([&] { heard.push_back("third"); });
    auto counter = counterWith(undo);
    counter->set(1);
    EXPECT_EQ(heard, (std::vector<std::string>{"first", "third"}));
    undo.changed.remove(first);
    heard.clear();
    undo.undo();
    EXPECT_EQ(heard, (std::vector<std::string>{"third"}));
    counter->self.reset();
}
