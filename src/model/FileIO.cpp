#include "model/FileIO.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pathwicks {

namespace {

FileError failure(const std::string& path, const std::string& what, int error) {
    return FileError{path + ": " + what + ": " + std::strerror(error)};
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

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

// The file a path finally names, following symbolic links; the path itself when it names
// nothing yet.
std::string resolvedTarget(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved))
        return resolved;
    return path;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
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

    std::string bytes;
    bytes.reserve(static_cast<size_t>(info.st_size));
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
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return bytes;
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

std::optional<FileError> writeFileAtomically(const std::string& path, std::string_view bytes,
                                             SaveSteps& steps,
                                             std::optional<mode_t> newFileMode) {
    const std::string target = resolvedTarget(path);
    const auto slash = target.rfind('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temporary = folderOf(target) + "/." + name + ".XXXXXX";

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return failure(path, "cannot write", EISDIR);

    int fd = steps.createTemporary(temporary);
    if (fd < 0)
        return failure(path, "cannot write", errno);

    // Every failure from here on removes the temporary file; the descriptor is closed at most
    // once, since a close that fails has released it all the same.
    auto abandon = [&](const char* what) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.c_str());
        return failure(path, what, error);
    };

    mode_t mode;
    if (exists) {
        mode = existing.st_mode & 07777;
        // Keep the owner where we may (we may not, unless we are that owner or the superuser).
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            // The new file then belongs to us; its permissions still follow the old one.
        }
    } else if (newFileMode) {
        mode = *newFileMode;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (steps.setPermissions(fd, mode) != 0)
        return abandon("cannot set permissions");
    if (!writeAll(steps, fd, bytes))
        return abandon("cannot write");
    if (steps.sync(fd) != 0)
        return abandon("cannot write");
    // Closed before the rename, so that a failing close (some file systems report write errors
    // only there) is seen.
    const int closed = steps.close(fd);
    fd = -1;
    if (closed != 0)
        return abandon("cannot write");
    if (steps.rename(temporary, target) != 0)
        return abandon("cannot replace");

    // Make the rename itself durable; a folder that refuses this loses nothing.
    FileDescriptor folder(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
    return std::nullopt;
}

} // namespace pathwicks
