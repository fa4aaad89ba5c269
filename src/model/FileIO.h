#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace pathwicks {

struct FileError {
    std::string message; // names the file and the reason
};

// The whole content of a regular file.
std::variant<std::string, FileError> readFileBytes(const std::string& path);

// Replaces the file with the bytes, or leaves it untouched: the bytes go to a temporary file
// in the same folder, which is then renamed over it. A symbolic link is written through to its
// target, and an existing file keeps its permissions.
std::optional<FileError> writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace pathwicks
