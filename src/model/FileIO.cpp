#include "model/FileIO.h"

#include "model/FileDescriptor.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pathwicks {

namespace {

FileError failure(const std::string& path, const std::string& what, int error) {
    return FileError{path + ": " + what + ": " + std::strerror(error)};
}

bool writeAll(SaveSteps& steps, int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = steps.write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            // A write that takes nothing and reports no error would loop for ever.
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

std::string folderOf(const std::string& path);

// The file a path finally names, following symbolic links one by one, so that a link whose
// target does not exist yet names that target; nothing for a loop of links.
std::optional<std::string> resolvedTarget(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::string link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
        if (length <= 0)
            return current;
        link.resize(static_cast<size_t>(length));
        current = link.front() == '/' ? link : folderOf(current) + "/" + link;
    }
    return std::nullopt;
}

const std::string leftoverMark = ".saving-";

// Removes the temporary files that saves of the file `name` in folder left when they were
// killed. A save in progress holds a lock on its temporary file, which keeps it.
void removeLeftovers(const std::string& folder, const std::string& name) {
    const std::string prefix = "." + name + leftoverMark;
    DIR* listing = ::opendir(folder.c_str());
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view found = entry->d_name;
        if (!found.starts_with(prefix) || found.size() != prefix.size() + 6)
            continue;
        FileDescriptor fd(::openat(::dirfd(listing), entry->d_name,
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info {};
        if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
    }
    ::closedir(listing);
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Where a save writes: the file a path finally names, its folder and name, and the file there
// now, if any.
struct SaveTarget {
    std::string path;
    std::string folder;
    std::string name;
    std::optional<struct stat> existing;
};

// The save target of path; an error when it names a loop of links, a folder or anything but a
// regular file.
std::variant<SaveTarget, FileError> saveTargetOf(const std::string& path) {
    const auto resolved = resolvedTarget(path);
    if (!resolved)
        return failure(path, "cannot write", ELOOP);
    const auto slash = resolved->rfind('/');
    SaveTarget target{*resolved, folderOf(*resolved),
                      slash == std::string::npos ? *resolved : resolved->substr(slash + 1),
                      std::nullopt};
    struct stat existing {};
    if (::stat(target.path.c_str(), &existing) != 0)
        return target;
    if (S_ISDIR(existing.st_mode))
        return failure(path, "cannot write", EISDIR);
    // Renaming over a device, a FIFO or a socket would put a plain file in its place.
    if (!S_ISREG(existing.st_mode))
        return FileError{path + ": cannot write: not a regular file (a device, a FIFO or a "
                                "socket); left as it is"};
    target.existing = existing;
    return target;
}

// The permissions the new file gets: the old file's (whose owner it keeps where it may), else
// newFileMode, else what the umask allows.
mode_t modeFor(const SaveTarget& target, int fd, std::optional<mode_t> newFileMode) {
    if (target.existing) {
        // Keep the owner where we may (we may not, unless we are that owner or the superuser).
        if (::fchown(fd, target.existing->st_uid, target.existing->st_gid) != 0) {
            // The new file then belongs to us; its permissions still follow the old one.
        }
        return target.existing->st_mode & 07777;
    }
    if (newFileMode)
        return *newFileMode;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A save's temporary file and the descriptor that writes it.
struct Temporary {
    std::string path;
    int fd;
};

// Gives the temporary file its permissions and the bytes, closes it and renames it over the
// target. Every failure removes the temporary file; the descriptor is closed at most once, since
// a close that fails has released it all the same.
std::optional<FileError> replaceWith(SaveSteps& steps, Temporary temporary, mode_t mode,
                                     std::string_view bytes, const SaveTarget& target,
                                     const std::string& path) {
    auto abandon = [&](const char* what) {
        const int error = errno;
        if (temporary.fd >= 0)
            ::close(temporary.fd);
        ::unlink(temporary.path.c_str());
        return failure(path, what, error);
    };
    if (steps.setPermissions(temporary.fd, mode) != 0)
        return abandon("cannot set permissions");
    if (!writeAll(steps, temporary.fd, bytes))
        return abandon("cannot write");
    if (steps.sync(temporary.fd) != 0)
        return abandon("cannot write");
    // Closed before the rename, so that a failing close (some file systems report write errors
    // only there) is seen.
    const int closed = steps.close(temporary.fd);
    temporary.fd = -1;
    if (closed != 0)
        return abandon("cannot write");
    if (steps.rename(temporary.path, target.path) != 0)
        return abandon("cannot replace");
    return std::nullopt;
}

} // namespace

std::variant<std::string, FileError> readFileBytes(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return failure(path, "cannot open", errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return failure(path, "cannot read", errno);
    if (S_ISDIR(info.st_mode))
        return failure(path, "cannot read", EISDIR);
    if (!S_ISREG(info.st_mode))
        return FileError{path + ": cannot read: not a regular file"};
    const auto tooLarge = [&] {
        return FileError{path + ": cannot read: larger than " +
                         std::to_string(largestReadableFile / (1024 * 1024)) + " MB"};
    };
    if (static_cast<uint64_t>(info.st_size) > largestReadableFile)
        return tooLarge();

    std::string bytes;
    try {
        bytes.reserve(static_cast<size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
        return FileError{path + ": cannot read: not enough memory"};
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return failure(path, "cannot read", errno);
        }
        if (got == 0)
            break;
        // A file that grows while it is read is still held to the limit.
        if (bytes.size() + static_cast<size_t>(got) > largestReadableFile)
            return tooLarge();
        try {
            bytes.append(buffer, static_cast<size_t>(got));
        } catch (const std::bad_alloc&) {
            return FileError{path + ": cannot read: not enough memory"};
        }
    }
    return bytes;
}

bool isReadOnly(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && !(info.st_mode & S_IWUSR);
}

int SaveSteps::createTemporary(std::string& pattern) {
    return ::mkostemp(pattern.data(), O_CLOEXEC);
}
int SaveSteps::setPermissions(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}
ssize_t SaveSteps::write(int fd, const void* data, size_t size) {
    return ::write(fd, data, size);
}
int SaveSteps::sync(int fd) {
    return ::fsync(fd);
}
int SaveSteps::close(int fd) {
    return ::close(fd);
}
int SaveSteps::rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str());
}

std::optional<FileError> writeFileAtomically(const std::string& path, std::string_view bytes) {
    SaveSteps system;
    return writeFileAtomically(path, bytes, system);
}

std::string leftoverPattern(const std::string& name) {
    return "." + name + leftoverMark + "XXXXXX";
}

std::optional<FileError> writeFileAtomically(const std::string& path, std::string_view bytes,
                                             SaveSteps& steps,
                                             std::optional<mode_t> newFileMode) {
    auto found = saveTargetOf(path);
    if (auto* error = std::get_if<FileError>(&found))
        return *error;
    const SaveTarget& target = std::get<SaveTarget>(found);

    removeLeftovers(target.folder, target.name);
    std::string temporary = target.folder + "/" + leftoverPattern(target.name);
    const int fd = steps.createTemporary(temporary);
    if (fd < 0)
        return failure(path, "cannot write", errno);
    // Held until the temporary file has become the document, so that no other save takes it
    // for a killed save's leftover (the descriptor that writes is closed before the rename).
    FileDescriptor lock(::open(temporary.c_str(), O_RDONLY | O_CLOEXEC));
    if (lock.isOpen())
        ::flock(lock.get(), LOCK_EX | LOCK_NB);

    const mode_t mode = modeFor(target, fd, newFileMode);
    if (auto error = replaceWith(steps, {std::move(temporary), fd}, mode, bytes, target, path))
        return error;
    // Make the rename itself durable; a folder that refuses this loses nothing.
    FileDescriptor folder(::open(target.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.isOpen())
        ::fsync(folder.get());
    return std::nullopt;
}

} // namespace pathwicks
