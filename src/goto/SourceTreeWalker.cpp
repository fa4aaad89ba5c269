#include "goto/SourceTreeWalker.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
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

struct FolderJob {
    std::string path; // relative to the walked folder; empty for the folder itself
    dev_t device;
    ino_t inode;
};

bool isVersionControlFolder(const char* name) {
    return std::strcmp(name, ".git") == 0 || std::strcmp(name, ".hg") == 0 ||
           std::strcmp(name, ".svn") == 0;
}

class Walk {
public:
    Walk(int root, unsigned threads, const SourceTreeWalker::Visit& visit,
         const std::atomic<bool>* cancelled)
        : root_(root), visit_(visit), threads_(threads), cancelled_(cancelled) {}

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

private:
    struct Buffer {
        std::unique_ptr<char[]> data;
        size_t capacity = 0;
    };

    void work(unsigned worker) {
        Buffer buffer;
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
                readFolder(worker, job, buffer, found);
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

    bool isCancelled() const { return cancelled_ && cancelled_->load(std::memory_order_relaxed); }

    void readFolder(unsigned worker, const FolderJob& job, Buffer& buffer,
                    std::vector<FolderJob>& found) {
        const int fd = ::openat(root_, job.path.empty() ? "." : job.path.c_str(),
                                O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            ++unreadable_;
            return;
        }
        // A folder swapped for another (or for a link) since it was listed is left alone.
        struct stat info;
        if (::fstat(fd, &info) != 0 || info.st_dev != job.device || info.st_ino != job.inode) {
            ::close(fd);
            ++unreadable_;
            return;
        }
        DIR* folder = ::fdopendir(fd);
        if (!folder) {
            ::close(fd);
            ++unreadable_;
            return;
        }
        std::string path = job.path;
        if (!path.empty())
            path += '/';
        const size_t prefix = path.size();
        while (const dirent* entry = ::readdir(folder)) {
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            unsigned char type = entry->d_type;
            if (type == DT_UNKNOWN) {
                struct stat entryInfo;
                if (::fstatat(fd, name, &entryInfo, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                type = S_ISDIR(entryInfo.st_mode)   ? DT_DIR
                       : S_ISREG(entryInfo.st_mode) ? DT_REG
                                                    : DT_LNK;
            }
            path.resize(prefix);
            path += name;
            if (type == DT_DIR) {
                if (isVersionControlFolder(name))
                    continue;
                struct stat folderInfo;
                if (::fstatat(fd, name, &folderInfo, AT_SYMLINK_NOFOLLOW) != 0 ||
                    !S_ISDIR(folderInfo.st_mode)) {
                    ++unreadable_;
                    continue;
                }
                found.push_back({path, folderInfo.st_dev, folderInfo.st_ino});
            } else if (type == DT_REG) {
                if (isCancelled())
                    break;
                readFile(worker, fd, name, path, buffer);
            }
        }
        ::closedir(folder);
    }

    void readFile(unsigned worker, int folder, const char* name, const std::string& path,
                  Buffer& buffer) {
        // Non-blocking, so that a FIFO put in place of the file cannot hold the walk.
        const int fd =
            ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            ++unreadable_;
            return;
        }
        struct stat info;
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0 ||
            static_cast<uint64_t>(info.st_size) > SourceTreeWalker::largestFile) {
            ::close(fd);
            return;
        }
        const size_t size = static_cast<size_t>(info.st_size);
        if (buffer.capacity < size) {
            buffer.capacity = std::max(size, buffer.capacity * 2);
            buffer.data.reset(new char[buffer.capacity]);
        }
        size_t length = 0;
        while (length < size) {
            const ssize_t got = ::read(fd, buffer.data.get() + length, size - length);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            length += static_cast<size_t>(got);
        }
        ::close(fd);
        const char* data = buffer.data.get();
        if (length == 0 ||
            std::memchr(data, '\0', std::min(length, SourceTreeWalker::binaryProbe)))
            return;
        visit_(worker, path, std::string_view(data, length));
    }

    const int root_;
    const SourceTreeWalker::Visit& visit_;
    const unsigned threads_;
    const std::atomic<bool>* cancelled_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<FolderJob> jobs_;
    size_t pending_ = 0; // folders queued or being read
    std::atomic<uint64_t> unreadable_{0};
};

} // namespace

SourceTreeWalker::SourceTreeWalker(unsigned threads, const std::atomic<bool>* cancelled)
    : cancelled_(cancelled) {
    if (threads == 0)
        threads = std::thread::hardware_concurrency();
    threads_ = std::clamp(threads, 1u, mostThreads);
}

std::optional<std::string> SourceTreeWalker::walk(const std::string& folder, const Visit& visit) {
    unreadable_ = 0;
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

    Walk walk(root, threads_, visit, cancelled_);
    walk.run({"", info.st_dev, info.st_ino});
    unreadable_ = walk.unreadable();
    ::close(root);
    return std::nullopt;
}

} // namespace pathwicks
