#include "model/RecoveryFolder.h"

#include "model/DocumentFile.h"
#include "model/Uuid.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pathwicks {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view copySuffix = ".recovery";
constexpr std::string_view lockSuffix = ".lock";
const char* const unreadableFolder = "unreadable";

// Opens (making it when missing) and locks a lock file, never through a symbolic link; -1 when
// it cannot, or another process holds it. A lock taken on a file that was removed from the
// folder meanwhile (by the process that held it last) counts for nothing.
int takeLock(const std::string& path, int extraFlags) {
    const int fd = ::open(path.c_str(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | extraFlags, 0600);
    if (fd < 0)
        return -1;
    struct stat locked {};
    struct stat named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &locked) != 0 ||
        !S_ISREG(locked.st_mode) || ::lstat(path.c_str(), &named) != 0 ||
        locked.st_ino != named.st_ino ||
        locked.st_dev != named.st_dev) {
        const int error = errno ? errno : EWOULDBLOCK;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Makes the folder, readable by the user alone, when it is missing; the reason when it cannot.
// With `noLink`, the folder itself may not be a symbolic link.
std::optional<std::string> makeFolder(const std::string& path, bool noLink = false) {
    std::error_code error;
    fs::create_directories(path, error);
    if (error)
        return error.message();
    if (!fs::is_directory(noLink ? fs::symlink_status(path, error) : fs::status(path, error)))
        return std::strerror(ENOTDIR);
    ::chmod(path.c_str(), 0700);
    return std::nullopt;
}

} // namespace

std::string recoveryFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string base;
    if (state && state[0] == '/') {
        base = state;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && home[0] ? home : "/tmp") + "/.local/state";
    }
    return base + "/pathwicks/recovery";
}

RecoverySlot::RecoverySlot(std::string folder, std::string name, int lockFd)
    : folder_(std::move(folder)), name_(std::move(name)), lockFd_(lockFd) {}

std::variant<std::unique_ptr<RecoverySlot>, FileError>
RecoverySlot::create(const std::string& folder) {
    if (auto failure = makeFolder(folder))
        return FileError{folder + ": cannot make the folder: " + *failure};
    std::string name = makeUuidText();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    const std::string lock = folder + "/" + name + std::string(lockSuffix);
    errno = 0;
    const int fd = takeLock(lock, O_EXCL);
    if (fd < 0)
        return FileError{lock + ": cannot write: " + std::strerror(errno)};
    return std::unique_ptr<RecoverySlot>(new RecoverySlot(folder, std::move(name), fd));
}

std::unique_ptr<RecoverySlot> RecoverySlot::claim(const std::string& folder,
                                                  const std::string& name) {
    errno = 0;
    const int fd = takeLock(folder + "/" + name + std::string(lockSuffix), 0);
    if (fd < 0)
        return nullptr;
    return std::unique_ptr<RecoverySlot>(new RecoverySlot(folder, name, fd));
}

RecoverySlot::~RecoverySlot() {
    // The lock file goes only while still locked, so that nobody else takes a lock on a file
    // that is no longer in the folder.
    if (!hasCopy())
        ::unlink(lockPath().c_str());
    ::close(lockFd_);
}

std::string RecoverySlot::copyPath() const {
    return folder_ + "/" + name_ + std::string(copySuffix);
}

std::string RecoverySlot::lockPath() const {
    return folder_ + "/" + name_ + std::string(lockSuffix);
}

bool RecoverySlot::hasCopy() const {
    struct stat info {};
    return ::lstat(copyPath().c_str(), &info) == 0;
}

std::optional<FileError> RecoverySlot::write(std::string_view bytes, SaveSteps* steps) {
    const std::string path = copyPath();
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return FileError{path + ": cannot write: not a regular file"};
    SaveSteps system;
    return writeFileAtomically(path, bytes, steps ? *steps : system, mode_t(0600));
}

void RecoverySlot::remove() { ::unlink(copyPath().c_str()); }

std::string RecoverySlot::keepAside() {
    const std::string aside = folder_ + "/" + unreadableFolder;
    const std::string target = aside + "/" + name_ + std::string(copySuffix);
    if (!makeFolder(aside, true) && ::rename(copyPath().c_str(), target.c_str()) == 0)
        return target;
    return copyPath();
}

namespace {

// What the folder holds, by slot name: copies and locks, each sorted, and the temporary files
// of atomic writes that a process ended in the middle of (".NAME.recovery.XXXXXX", by NAME).
struct FolderListing {
    std::vector<std::string> copies;
    std::vector<std::string> locks;
    std::multimap<std::string, std::string> temporaries;
};

FolderListing listingOf(const std::string& folder) {
    FolderListing listing;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with(".")) {
            const auto suffix = name.rfind(std::string(copySuffix) + ".");
            if (suffix != std::string::npos && suffix > 1)
                listing.temporaries.emplace(name.substr(1, suffix - 1), name);
            continue;
        }
        if (name.ends_with(copySuffix))
            listing.copies.push_back(name.substr(0, name.size() - copySuffix.size()));
        else if (name.ends_with(lockSuffix))
            listing.locks.push_back(name.substr(0, name.size() - lockSuffix.size()));
    }
    std::sort(listing.copies.begin(), listing.copies.end());
    std::sort(listing.locks.begin(), listing.locks.end());
    return listing;
}

void removeTemporaries(const std::string& folder, const FolderListing& listing,
                       const std::string& name) {
    const auto [first, last] = listing.temporaries.equal_range(name);
    for (auto it = first; it != last; ++it)
        ::unlink((folder + "/" + it->second).c_str());
}

// Removes what ended processes left: temporary files of slots without a lock, and lock files
// without their copy (what a process that ended before its first copy leaves), with their
// temporary files. Only while a slot's lock is held (or its lock file is gone) is nobody
// writing to it.
void removeAbandoned(const std::string& folder, const FolderListing& listing) {
    for (const auto& [name, file] : listing.temporaries) {
        if (!std::binary_search(listing.locks.begin(), listing.locks.end(), name))
            ::unlink((folder + "/" + file).c_str());
    }
    for (const std::string& name : listing.locks) {
        if (std::binary_search(listing.copies.begin(), listing.copies.end(), name))
            continue;
        if (auto slot = RecoverySlot::claim(folder, name)) // removes the lock file as it goes
            removeTemporaries(folder, listing, name);
    }
}

// Reads the copy of a claimed slot into claimed: among the copies when it can be read and is
// wanted, else (without `wanted`) moved aside among the unreadable ones.
void claimCopy(std::unique_ptr<RecoverySlot> slot,
               const std::function<bool(const RecoveryCopy&)>& wanted, ClaimedCopies& claimed) {
    auto unreadable = [&](std::string reason) {
        if (wanted)
            return;
        const std::string shown = slot->name() + std::string(copySuffix);
        claimed.unreadable.push_back({shown, std::move(reason), slot->keepAside()});
    };
    struct stat info {};
    if (::lstat(slot->copyPath().c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return unreadable("It is not a regular file.");
    auto bytes = readFileBytes(slot->copyPath());
    if (auto* failure = std::get_if<FileError>(&bytes))
        return unreadable(failure->message);
    auto decoded = RecoveryFile::decode(std::get<std::string>(bytes));
    if (auto* failure = std::get_if<RecoveryFile::DecodeError>(&decoded))
        return unreadable(failure->reason);
    auto& copy = std::get<RecoveryCopy>(decoded);
    if (wanted && !wanted(copy))
        return;
    auto parsed = DocumentFile::parse(copy.documentBytes);
    if (auto* failure = std::get_if<DocumentFile::ReadError>(&parsed))
        return unreadable("The document in it is damaged: " + failure->reason);
    claimed.copies.push_back(
        {std::move(slot), std::move(copy), std::move(std::get<nlohmann::json>(parsed))});
}

} // namespace

ClaimedCopies claimUnownedCopies(const std::string& folder,
                                 const std::function<bool(const RecoveryCopy&)>& wanted) {
    const FolderListing listing = listingOf(folder);
    removeAbandoned(folder, listing);
    ClaimedCopies claimed;
    for (const std::string& name : listing.copies) {
        auto slot = RecoverySlot::claim(folder, name);
        if (slot)
            removeTemporaries(folder, listing, name);
        // Owned by a running program, or removed by it since the folder was read.
        if (slot && slot->hasCopy())
            claimCopy(std::move(slot), wanted, claimed);
    }
    std::stable_sort(claimed.copies.begin(), claimed.copies.end(),
                     [](const FoundCopy& a, const FoundCopy& b) {
                         return a.copy.madeAt < b.copy.madeAt;
                     });
    return claimed;
}

} // namespace pathwicks
