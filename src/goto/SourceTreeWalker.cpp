#include "goto/SourceTreeWalker.h"

#include "goto/IgnoreFiles.h"
#include "model/FileDescriptor.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pathwicks {

namespace {

// Past this the walk is bound by the disk or the page cache, not by the processors.
constexpr unsigned mostThreads = 8;

// What each worker reads a file into at first; larger files grow it to their size.
constexpr size_t firstBuffer = 256 * 1024;

// The most one read asks for: between two, the walk looks whether it is cancelled.
constexpr size_t readPiece = 4 * 1024 * 1024;

// An open folder, kept open while folders below it wait to be opened relative to it.
class OpenFolder {
public:
    explicit OpenFolder(FileDescriptor fd) : fd_(std::move(fd)) {}
    int fd() const { return fd_.get(); }

private:
    FileDescriptor fd_;
};

struct FolderJob {
    std::string path; // relative to the walked folder; empty for the folder itself
    std::shared_ptr<const OpenFolder> parent; // none for the folder itself
    std::string name;                         // within the parent
    std::shared_ptr<const IgnoreRules> rules; // those of the folders above
};

bool startsBinary(const char* data, size_t length) {
    return std::memchr(data, '\0', std::min(length, SourceTreeWalker::binaryProbe)) != nullptr;
}

bool isVersionControlFolder(const char* name) {
    return std::strcmp(name, ".git") == 0 || std::strcmp(name, ".hg") == 0 ||
           std::strcmp(name, ".svn") == 0;
}

class Walk {
public:
    Walk(int root, unsigned threads, const SourceTreeWalker::Visit& visit,
         const SourceTreeWalker::Sieve* sieve, bool ignoring, std::string prefix,
         const std::atomic<bool>* cancelled)
        : root_(root), visit_(visit), sieve_(sieve), threads_(threads), ignoring_(ignoring),
          prefix_(std::move(prefix)), cancelled_(cancelled) {}

    void run(FolderJob first) {
        jobs_.push_back(std::move(first));
        pending_ = 1;
        std::vector<std::thread> workers;
        for (unsigned worker = 1; worker < threads_; ++worker)
            workers.emplace_back([this, worker] { work(worker); });
        work(0);
        for (auto& thread : workers)
            thread.join();
    }

    uint64_t unreadable() const { return unreadable_.load(); }
    std::vector<SourceTreeWalker::Unreadable> examples() {
        std::lock_guard lock(examplesMutex_);
        return examples_;
    }

private:
    struct Buffer {
        std::unique_ptr<char[]> data;
        size_t capacity = 0;
    };

    // Each worker's: the whole file, and the piece a sieve looks at.
    struct Buffers {
        Buffer whole;
        Buffer piece;
    };

    void work(unsigned worker) {
        Buffers buffers;
        std::vector<FolderJob> found;
        for (;;) {
            FolderJob job;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [this] { return !jobs_.empty() || pending_ == 0; });
                if (jobs_.empty())
                    return;
                job = std::move(jobs_.back());
                jobs_.pop_back();
            }
            found.clear();
            if (!isCancelled())
                readFolder(worker, job, buffers, found);
            bool finished;
            {
                std::lock_guard lock(mutex_);
                pending_ += found.size();
                pending_ -= 1;
                finished = pending_ == 0;
                for (auto& folder : found)
                    jobs_.push_back(std::move(folder));
            }
            if (finished || found.size() > 1)
                ready_.notify_all();
            else if (found.size() == 1)
                ready_.notify_one();
        }
    }

    void cannotRead(const std::string& path, int error) {
        cannotRead(path, std::string(std::strerror(error)));
    }

    void cannotRead(const std::string& path, std::string reason) {
        ++unreadable_;
        std::lock_guard lock(examplesMutex_);
        if (examples_.size() < SourceTreeWalker::namedUnreadable)
            examples_.push_back({path, std::move(reason)});
    }

    // The path as the ignore rules see it: from the work tree's top.
    std::string_view rulePath(const std::string& path, std::string& scratch) const {
        if (prefix_.empty() || path.empty())
            return prefix_.empty() ? std::string_view(path) : std::string_view(prefix_);
        scratch.assign(prefix_);
        scratch += '/';
        scratch += path;
        return scratch;
    }

    struct Entry {
        std::string name;
        bool isFolder;
    };

    bool isCancelled() const { return cancelled_ && cancelled_->load(std::memory_order_relaxed); }

    // Opens the job's folder below its parent's descriptor and never through a link, so the
    // walk stays inside the folder whatever is renamed or swapped while it runs; nothing, and
    // counted, when it cannot be read.
    std::shared_ptr<const OpenFolder> openFolder(const FolderJob& job) {
        FileDescriptor fd(::openat(job.parent ? job.parent->fd() : root_,
                                   job.parent ? job.name.c_str() : ".",
                                   O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!fd.isOpen()) {
            cannotRead(job.path, errno);
            return nullptr;
        }
        return std::make_shared<const OpenFolder>(std::move(fd));
    }

    // The folders and regular files in the folder, but version-control folders; hasIgnoreFile
    // tells whether a .gitignore or .ignore is among them. Read straight from the system, which
    // spares the checks and the buffer of a directory stream.
    std::vector<Entry> entriesOf(const OpenFolder& folder, const std::string& path,
                                 bool& hasIgnoreFile) {
        alignas(dirent64) char listing[32 * 1024];
        std::vector<Entry> entries;
        for (;;) {
            const ssize_t got = ::getdents64(folder.fd(), listing, sizeof listing);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                if (got < 0)
                    cannotRead(path.empty() ? "." : path, errno);
                return entries;
            }
            for (ssize_t at = 0; at < got;) {
                const auto* entry = reinterpret_cast<const dirent64*>(listing + at);
                at += entry->d_reclen;
                addEntry(folder.fd(), path, entry->d_name, entry->d_type, entries, hasIgnoreFile);
            }
        }
    }

    // Keeps an entry of the folder when the walk goes into it or reads it.
    void addEntry(int folder, const std::string& path, const char* name, unsigned char type,
                  std::vector<Entry>& entries, bool& hasIgnoreFile) {
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            return;
        if (type == DT_UNKNOWN) {
            struct stat entryInfo;
            if (::fstatat(folder, name, &entryInfo, AT_SYMLINK_NOFOLLOW) != 0) {
                cannotRead(path.empty() ? name : path + "/" + name, errno);
                return;
            }
            type = S_ISDIR(entryInfo.st_mode)   ? DT_DIR
                   : S_ISREG(entryInfo.st_mode) ? DT_REG
                                                : DT_LNK;
        }
        if (type != DT_DIR && type != DT_REG)
            return;
        if (type == DT_DIR && isVersionControlFolder(name))
            return;
        if (type == DT_REG &&
            (std::strcmp(name, ".gitignore") == 0 || std::strcmp(name, ".ignore") == 0))
            hasIgnoreFile = true;
        entries.push_back({name, type == DT_DIR});
    }

    void readFolder(unsigned worker, const FolderJob& job, Buffers& buffers,
                    std::vector<FolderJob>& found) {
        const auto folder = openFolder(job);
        if (!folder)
            return;
        const int fd = folder->fd();
        // The whole listing first: the folder's own ignore files apply to all its entries.
        bool hasIgnoreFile = false;
        std::vector<Entry> entries = entriesOf(*folder, job.path, hasIgnoreFile);

        std::shared_ptr<const IgnoreRules> rules = job.rules;
        std::string scratch;
        if (ignoring_ && hasIgnoreFile) {
            auto files = ignoreFilesIn(fd, std::string(rulePath(job.path, scratch)));
            if (!files.empty())
                rules = std::make_shared<const IgnoreRules>(rules, std::move(files));
        }
        std::string path = job.path;
        if (!path.empty())
            path += '/';
        const size_t prefix = path.size();
        for (auto& entry : entries) {
            path.resize(prefix);
            path += entry.name;
            if (rules && rules->ignored(rulePath(path, scratch), entry.isFolder))
                continue;
            if (entry.isFolder)
                found.push_back({path, folder, std::move(entry.name), rules});
            else if (isCancelled())
                break;
            else
                readFile(worker, fd, entry.name.c_str(), path, buffers);
        }
    }

    // One read of up to `wanted` bytes; nothing when it fails (counted, but for a file that
    // turned into a folder or a FIFO meanwhile).
    std::optional<size_t> readSome(int fd, const std::string& path, char* to, size_t wanted) {
        for (;;) {
            const ssize_t got = ::read(fd, to, wanted);
            if (got >= 0)
                return static_cast<size_t>(got);
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EISDIR)
                cannotRead(path, errno);
            return std::nullopt;
        }
    }

    // The size to read a file to whose first `length` bytes filled a buffer: the size it has
    // now, or at least those bytes; nothing when it is binary, no regular file any more, or too
    // large.
    std::optional<size_t> sizeToRead(int fd, const std::string& path, const char* data,
                                     size_t length) {
        // A binary file is passed over, large or not.
        if (startsBinary(data, length))
            return std::nullopt;
        struct stat info;
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
            return std::nullopt;
        if (static_cast<uint64_t>(info.st_size) > SourceTreeWalker::largestFile) {
            cannotRead(path, "larger than 64 MiB");
            return std::nullopt;
        }
        return std::max(length, static_cast<size_t>(info.st_size));
    }

    // The file's bytes into the buffer: up to the size it has when it fills the first read, so
    // that a file growing meanwhile is read as it was found; nothing when the walk is
    // cancelled, the file is too large, or it is no regular file any more.
    std::optional<size_t> readBytes(int fd, const std::string& path, Buffer& buffer) {
        if (buffer.capacity == 0) {
            buffer.capacity = firstBuffer;
            buffer.data.reset(new char[buffer.capacity]);
        }
        // Most source files fit the buffer and take one read, which comes back short; only a
        // file that fills it is asked for its size.
        size_t length = 0;
        size_t wanted = buffer.capacity;
        bool sized = false;
        while (!isCancelled()) {
            if (length == wanted) {
                if (sized)
                    return length;
                const auto size = sizeToRead(fd, path, buffer.data.get(), length);
                if (!size)
                    return std::nullopt;
                sized = true;
                wanted = *size;
                if (wanted > buffer.capacity) {
                    auto grown = std::unique_ptr<char[]>(new char[wanted]);
                    std::memcpy(grown.get(), buffer.data.get(), length);
                    buffer.data = std::move(grown);
                    buffer.capacity = wanted;
                }
            }
            // In pieces, so that a cancellation is seen within a large file too.
            const size_t piece = std::min(wanted - length, readPiece);
            const auto got = readSome(fd, path, buffer.data.get() + length, piece);
            if (!got)
                return std::nullopt;
            length += *got;
            // Before its size is known, a short read is the file's end.
            if (*got == 0 || (!sized && *got < piece))
                return length;
        }
        return std::nullopt;
    }

    // The file read piece by piece while the sieve finds nothing in it: its whole bytes once
    // some piece may hold what is looked for; nothing when none does, and as readBytes.
    std::optional<std::string_view> readSifted(int fd, const std::string& path, Buffers& buffers) {
        constexpr size_t pieceSize = SourceTreeWalker::sievePiece;
        const size_t overlap = sieve_->overlap;
        Buffer& piece = buffers.piece;
        if (piece.capacity == 0) {
            piece.capacity = pieceSize + overlap;
            piece.data.reset(new char[piece.capacity]);
        }
        char* data = piece.data.get();
        const auto first = readSome(fd, path, data, pieceSize);
        if (!first)
            return std::nullopt;
        // A short first read is the whole file.
        if (*first < pieceSize) {
            const std::string_view bytes(data, *first);
            return sieve_->mayHold(bytes) ? std::optional(bytes) : std::nullopt;
        }
        const auto size = sizeToRead(fd, path, data, *first);
        if (!size)
            return std::nullopt;
        size_t done = *first;
        size_t held = *first;
        while (!sieve_->mayHold(std::string_view(data, held))) {
            if (done >= *size || isCancelled())
                return std::nullopt;
            const size_t kept = std::min(overlap, held);
            std::memmove(data, data + held - kept, kept);
            const auto got = readSome(fd, path, data + kept, std::min(pieceSize, *size - done));
            if (!got || *got == 0)
                return std::nullopt;
            done += *got;
            held = kept + *got;
        }
        // Rare: the file is read again, whole.
        if (::lseek(fd, 0, SEEK_SET) != 0)
            return std::nullopt;
        const auto length = readBytes(fd, path, buffers.whole);
        if (!length)
            return std::nullopt;
        return std::string_view(buffers.whole.data.get(), *length);
    }

    void readFile(unsigned worker, int folder, const char* name, const std::string& path,
                  Buffers& buffers) {
        // Non-blocking, so that a FIFO put in place of the file cannot hold the walk.
        const FileDescriptor fd(
            ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        if (!fd.isOpen()) {
            cannotRead(path, errno);
            return;
        }
        std::optional<std::string_view> bytes;
        if (sieve_) {
            bytes = readSifted(fd.get(), path, buffers);
        } else if (const auto length = readBytes(fd.get(), path, buffers.whole)) {
            bytes = std::string_view(buffers.whole.data.get(), *length);
        }
        if (!bytes || bytes->empty() || startsBinary(bytes->data(), bytes->size()))
            return;
        visit_(worker, path, *bytes);
    }

    const int root_;
    const SourceTreeWalker::Visit& visit_;
    const SourceTreeWalker::Sieve* sieve_; // none: every file is read whole
    const unsigned threads_;
    const bool ignoring_;
    const std::string prefix_; // the walked folder's path from the work tree's top
    const std::atomic<bool>* cancelled_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<FolderJob> jobs_;
    size_t pending_ = 0; // folders queued or being read
    std::atomic<uint64_t> unreadable_{0};
    std::mutex examplesMutex_;
    std::vector<SourceTreeWalker::Unreadable> examples_;
};

} // namespace

SourceTreeWalker::SourceTreeWalker(unsigned threads, bool honourIgnoreFiles,
                                   const std::atomic<bool>* cancelled)
    : honourIgnoreFiles_(honourIgnoreFiles), cancelled_(cancelled) {
    if (threads == 0)
        threads = std::thread::hardware_concurrency();
    threads_ = std::clamp(threads, 1u, mostThreads);
}

std::optional<std::string> SourceTreeWalker::walk(const std::string& folder, const Visit& visit,
                                                  const Sieve* sieve) {
    unreadable_ = 0;
    examples_.clear();
    const int root = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0)
        return folder + ": " + (errno == ENOTDIR ? "not a folder" : std::strerror(errno));
    struct stat info;
    if (::fstat(root, &info) != 0) {
        const std::string reason = std::strerror(errno);
        ::close(root);
        return folder + ": " + reason;
    }
    // A folder that cannot be listed is refused here, not skipped as if it were empty.
    const int probe = ::openat(root, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = probe >= 0 ? ::fdopendir(probe) : nullptr;
    if (!listing) {
        const std::string reason = std::strerror(errno);
        if (probe >= 0)
            ::close(probe);
        ::close(root);
        return folder + ": " + reason;
    }
    errno = 0;
    ::readdir(listing);
    const int listError = errno;
    ::closedir(listing);
    if (listError != 0) {
        ::close(root);
        return folder + ": " + std::strerror(listError);
    }

    RulesAbove above;
    if (honourIgnoreFiles_)
        above = ignoreRulesAbove(folder);
    // git lists nothing in a folder it ignores.
    if (above.folderIgnored) {
        ::close(root);
        return std::nullopt;
    }
    Walk walk(root, threads_, visit, sieve, honourIgnoreFiles_, std::move(above.prefix),
              cancelled_);
    walk.run({"", nullptr, "", std::move(above.rules)});
    unreadable_ = walk.unreadable();
    examples_ = walk.examples();
    ::close(root);
    return std::nullopt;
}

} // namespace pathwicks
