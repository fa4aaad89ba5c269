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
    // Closes now, so that a failing close (some file systems report write errors there) is seen.
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
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

std::optional<FileError> writeFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string target = resolvedTarget(path);
    const auto slash = target.rfind('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temporary = folderOf(target) + "/." + name + ".XXXXXX";

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return failure(path, "cannot write", EISDIR);

    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return failure(path, "cannot write", errno);

    auto abandon = [&](const char* what) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return failure(path, what, error);
    };

    mode_t mode;
    if (exists) {
        mode = existing.st_mode & 07777;
        // Keep the owner where we may (we may not, unless we are that owner or the superuser).
        if (::fchown(fd.get(), existing.st_uid, existing.st_gid) != 0) {
            // The new file then belongs to us; its permissions still follow the old one.
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd.get(), mode) != 0)
        return abandon("cannot set permissions");
    if (!writeAll(fd.get(), bytes))
        return abandon("cannot write");
    if (::fsync(fd.get()) != 0)
        return abandon("cannot write");
    if (fd.close() != 0)
        return abandon("cannot write");
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return abandon("cannot replace");

    // Make the rename itself durable; a folder that refuses this loses nothing.
    FileDescriptor folder(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
    return std::nullopt;
}

} // namespace pathwicks
