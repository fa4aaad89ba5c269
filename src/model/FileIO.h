#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <variant>

namespace pathwicks {

struct FileError {
    std::string message; // names the file and the reason
};

// The largest file read whole: a document or configuration beyond it is refused before
// anything is read.
constexpr uint64_t largestReadableFile = 512ull * 1024 * 1024;

// The whole content of a regular file of at most largestReadableFile bytes.
std::variant<std::string, FileError> readFileBytes(const std::string& path);

// Whether the file at path (after symbolic links) exists and its owner may not write it, as
// its permissions say: a document kept read-only on purpose, whoever runs the program.
bool isReadOnly(const std::string& path);

// The system calls an atomic save makes, one per step, each returning what the call returns
// and leaving errno set on failure. Tests replace a step to make it fail as a full disk or a
// dying device would.
class SaveSteps {
public:
    virtual ~SaveSteps() = default;
    // Creates the temporary file from a mkstemp pattern, which it rewrites with the name made.
    virtual int createTemporary(std::string& pattern);
    virtual int setPermissions(int fd, mode_t mode);
    virtual ssize_t write(int fd, const void* data, size_t size);
    virtual int sync(int fd);
    virtual int close(int fd);
    virtual int rename(const std::string& from, const std::string& to);
};

// Replaces the file with the bytes, or leaves it untouched: the bytes go to a temporary file
// in the same folder, which is then renamed over it. A symbolic link is written through to its
// target (one whose target does not exist yet creates it), and an existing file keeps its
// permissions. Only regular files are replaced: a device, a FIFO or a socket at the path is
// refused and left as it is. When any step fails, the temporary file is removed and the error
// names the file and the reason. A save killed midway may leave its temporary file, hidden
// and named by leftoverPattern; the next save of the same file removes it. A new file gets
// `newFileMode` when given, else what the umask allows; only the latter looks at the umask,
// which other threads share.
std::optional<FileError> writeFileAtomically(const std::string& path, std::string_view bytes);
// The name of a save's temporary file beside `name`: hidden, and not ending as the file does.
std::string leftoverPattern(const std::string& name);
std::optional<FileError> writeFileAtomically(const std::string& path, std::string_view bytes,
                                             SaveSteps& steps,
                                             std::optional<mode_t> newFileMode = std::nullopt);

} // namespace pathwicks
