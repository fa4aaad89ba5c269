#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pathwicks {

// What a file looked like when we last read or wrote it, to notice another program's changes.
struct FileStamp {
    int64_t size = 0;
    int64_t modifiedNs = 0;
    uint64_t inode = 0;

    bool operator==(const FileStamp&) const = default;

    // Nothing when the file does not exist (or cannot be looked at).
    static std::optional<FileStamp> of(const std::string& path);
};

} // namespace pathwicks
