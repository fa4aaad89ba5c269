#pragma once

#include "model/FileStamp.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace pathwicks {

// A copy of a document's unsaved work, kept so that it outlives a program that ends without
// saving: the bytes a save would write, the file the document belongs to, and when it was made.
struct RecoveryCopy {
    std::string documentBytes;
    // The document's file, or empty for a document never saved.
    std::string originalPath;
    // What that file looked like when the document last read or wrote it, so that saving the
    // restored document still notices another program's change.
    std::optional<FileStamp> originalStamp;
    // Seconds since the epoch.
    int64_t madeAt = 0;
};

// The recovery file: a first line that no document starts with, one line of JSON with the
// stamp, the time and the lengths of what follows, then the path and the document bytes as
// they are.
// A document reader refuses it, and a cut-off copy is told from a whole one.
namespace RecoveryFile {

std::string encode(const RecoveryCopy& copy);

// Why bytes are no recovery file, in words for the user.
struct DecodeError {
    std::string reason;
};
std::variant<RecoveryCopy, DecodeError> decode(std::string_view bytes);

} // namespace RecoveryFile

} // namespace pathwicks
