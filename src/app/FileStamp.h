#pragma once

#include <QString>

#include <optional>

namespace pathwicks {

// What a file looked like when we last read or wrote it, to notice another program's changes.
struct FileStamp {
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;

    bool operator==(const FileStamp&) const = default;

    // Nothing when the file does not exist (or cannot be looked at).
    static std::optional<FileStamp> of(const QString& path);
};

} // namespace pathwicks
