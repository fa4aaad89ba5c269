#pragma once

#include "model/Geometry.h"
#include "model/RecoveryCopy.h"
#include "model/StepsModel.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace pathwicks {

class Document;
class RecoverySlot;

// What a recovery copy is made from: taken where the document lives, encoded on the writer's
// thread.
struct RecoverySnapshot {
    StepsModel model;
    Rect frame;
    RecoveryCopy copy; // everything but the document bytes

    // The document as it is now, in the window frame a save would write; madeAt in seconds
    // since the epoch.
    static RecoverySnapshot of(const Document& document, const Rect& frame, int64_t madeAt);
};

// One window's recovery copy in a folder, encoded, written atomically and removed on the one
// background thread that the copies of every window share, in the order they were asked for.
// What is still asked for when the program ends is done before it ends. When the folder first
// fails to take a copy, copies to it stop and the writer whose copy failed is told why.
class RecoveryWriter {
public:
    // Called on the writer's thread, while this writer lives, with the reason in words.
    using Failed = std::function<void(const std::string& reason)>;

    RecoveryWriter(std::string folder, Failed failed);
    // Tells no more; removes the copy and releases its lock, after everything asked before.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // Takes over the slot of a restored copy, after everything asked before.
    void adopt(std::unique_ptr<RecoverySlot> slot);
    // Replaces the copy with the snapshot; a write that fails leaves the last copy as it was.
    void write(RecoverySnapshot snapshot);
    void remove();
    // Lets go of the slot, after everything asked before: its copy stays for the next start,
    // and its lock is released (its lock file removed when there is no copy).
    void release();
    // Whether the folder failed to take a copy in this run.
    bool stopped() const;

    // Waits until every copy and removal asked of any writer so far is done.
    static void waitForWrites();
    // As waitForWrites, but no longer than `limit`; whether everything was done.
    static bool waitForWrites(std::chrono::milliseconds limit);

private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace pathwicks
