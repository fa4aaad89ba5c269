#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

// The code a box stands for, as the panel shows it: the marker line and the lines after it,
// tabs expanded and bidirectional controls named ("<U+202E>"), nothing else changed.
struct CodePreview {
    enum class Status {
        shown,      // lines holds the marker line first
        notText,    // a NUL byte near the start: not shown
        unreadable, // gone, or no regular file that can be read
        tooShort,   // the file no longer reaches the line
    };
    Status status = Status::unreadable;
    std::vector<std::string> lines;
};

inline constexpr size_t previewLinesAfter = 12;
inline constexpr size_t previewTabWidth = 4;
// Longer lines are cut here, so that a minified file cannot swamp the panel; no more of a line
// than this is ever kept, however long it is.
inline constexpr size_t previewLineLimit = 2000;

// Reads the line (counted from 1) of the file and up to `after` lines after it.
CodePreview readCodePreview(const std::string& path, uint64_t line,
                            size_t after = previewLinesAfter);

// Each tab as the spaces up to the next multiple of tabWidth columns, a column per character
// (UTF-8 sequences count once).
std::string expandTabs(std::string_view line, size_t tabWidth = previewTabWidth);

// The text with each bidirectional control (U+202A to U+202E, U+2066 to U+2069, U+200E, U+200F,
// U+061C) written as "<U+XXXX>", so that none reorders the line unseen.
std::string showBidiControls(std::string_view text);

// A NUL byte in the first 8 KiB, the rule by which marker searches skip a file.
bool looksBinary(std::string_view start);

} // namespace pathwicks
