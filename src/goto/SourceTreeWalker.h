#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

// Reads every text file under a folder once, on several threads. Skipped: version-control
// folders (.git, .hg, .svn), symbolic links (never followed, so the walk cannot loop or leave
// the folder), devices, FIFOs and sockets (never opened for reading, so nothing blocks), files
// with a NUL byte in their first 8 KiB, and, unless told otherwise, what git would ignore (see
// goto/IgnoreRules and goto/IgnoreFiles); files over 64 MiB are skipped and named among the
// unreadable. A file that grows while it is read is read up to the size it had when found.
// Every folder is opened relative to its parent's open descriptor, so no depth is too deep to
// walk.
class SourceTreeWalker {
public:
    // Entries that could not be read are named, up to this many; the rest are only counted.
    static constexpr size_t namedUnreadable = 5;

    struct Unreadable {
        std::string path; // relative to the walked folder
        std::string reason;
    };

    static constexpr uint64_t largestFile = 64ull * 1024 * 1024;
    static constexpr size_t binaryProbe = 8 * 1024;
    // What a sieve is shown at most at once (besides the overlap): small enough that the copy
    // out of the page cache, and the sieve's look at it, stay in the processor's own cache.
    static constexpr size_t sievePiece = 64 * 1024;

    // Called from any of the worker threads: the worker's number (below threadCount()), the
    // file's path relative to the folder, and its whole content.
    using Visit =
        std::function<void(unsigned worker, std::string_view path, std::string_view bytes)>;

    // Spares reading whole the files that cannot hold what is looked for. Each file is read in
    // pieces small enough to stay in the processor's cache, and each piece is shown to mayHold
    // after the last `overlap` bytes of the one before, so that a string up to overlap + 1
    // bytes long is seen whole in one of them. Only a file of which mayHold says true of some
    // piece is read whole and visited. Called from any of the worker threads.
    struct Sieve {
        size_t overlap = 0;
        std::function<bool(std::string_view piece)> mayHold;
    };

    // threads 0 picks a count that suits the machine. Once cancelled is set, no further folder
    // or file is read, and a file being read is left within a few megabytes.
    explicit SourceTreeWalker(unsigned threads = 0, bool honourIgnoreFiles = true,
                              const std::atomic<bool>* cancelled = nullptr);

    unsigned threadCount() const { return threads_; }

    // Walks the folder; a message when it is no folder that can be read. Entries below it that
    // cannot be opened are skipped and counted. With a sieve, only the files it lets through
    // are visited.
    std::optional<std::string> walk(const std::string& folder, const Visit& visit,
                                    const Sieve* sieve = nullptr);

    uint64_t unreadableCount() const { return unreadable_; }
    // The first few of them, in no particular order.
    const std::vector<Unreadable>& unreadableExamples() const { return examples_; }

private:
    unsigned threads_;
    bool honourIgnoreFiles_;
    const std::atomic<bool>* cancelled_;
    uint64_t unreadable_ = 0;
    std::vector<Unreadable> examples_;
};

} // namespace pathwicks
