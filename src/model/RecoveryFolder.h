#pragma once

#include "model/FileIO.h"
#include "model/RecoveryCopy.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pathwicks {

// The folder of recovery copies: $XDG_STATE_HOME/pathwicks/recovery, or
// ~/.local/state/pathwicks/recovery when XDG_STATE_HOME is unset or not an absolute path.
std::string recoveryFolder();

// One recovery file, NAME.recovery, and the lock that says a running program owns it: a flock on
// NAME.lock beside it, held for as long as the slot lives and released by the system when the
// process ends, however it ends. The lock file stays while the copy does.
class RecoverySlot {
public:
    // A slot of a new name in the folder, its lock taken; makes the folder (readable by the
    // user alone) when it is missing. No copy is written yet.
    static std::variant<std::unique_ptr<RecoverySlot>, FileError> create(const std::string& folder);
    // Takes the lock on an existing slot; nothing when another process holds it.
    static std::unique_ptr<RecoverySlot> claim(const std::string& folder, const std::string& name);

    RecoverySlot(const RecoverySlot&) = delete;
    RecoverySlot& operator=(const RecoverySlot&) = delete;
    ~RecoverySlot();

    const std::string& name() const { return name_; }
    std::string copyPath() const;
    bool hasCopy() const;

    // Replaces the copy atomically (through `steps` when given). Writes nowhere but to a
    // regular file of its own name in the folder.
    std::optional<FileError> write(std::string_view bytes, SaveSteps* steps = nullptr);
    void remove();
    // Moves the copy into the folder's "unreadable" folder, keeping its name; returns where it
    // is now (its old place when it could not be moved).
    std::string keepAside();

private:
    RecoverySlot(std::string folder, std::string name, int lockFd);
    std::string lockPath() const;

    std::string folder_;
    std::string name_;
    int lockFd_;
};

// A copy claimed from the folder: its slot (the lock held) and its content, parsed.
struct FoundCopy {
    std::unique_ptr<RecoverySlot> slot;
    RecoveryCopy copy;
    nlohmann::json content;
};

// A file that was found where copies live but could not be read as one.
struct UnreadableCopy {
    std::string name;
    std::string reason;
    std::string keptAt; // where the file is now
};

struct ClaimedCopies {
    std::vector<FoundCopy> copies; // oldest first
    std::vector<UnreadableCopy> unreadable;
};

// Claims the copies in the folder that no running program owns, taking each one's lock until
// its slot goes. Without `wanted`, every copy is claimed and a file that cannot be read as a
// copy (or whose document cannot be parsed) is moved aside and named; with it, only the copies
// it accepts are claimed and everything else is left as it is. Lock files left without a copy
// are removed.
ClaimedCopies claimUnownedCopies(const std::string& folder,
                                 const std::function<bool(const RecoveryCopy&)>& wanted = {});

} // namespace pathwicks
