#pragma once

#include "model/FileStamp.h"
#include "model/MarkerLine.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace pathwicks {

// A file's bytes with a marker line put in.
struct MarkerInsertion {
    std::string bytes;
    size_t line = 0;        // the line, 1-based, the marker now stands on
    std::string markedText; // the text of the line marked, trimmed; empty when appended
};

// The lines of the text: the last one counts though no line ending follows it.
size_t lineCount(std::string_view bytes);

// The text with `marker` (one line, without its line ending) put directly above line `line`
// (1-based; one past the last line appends). The marker is indented like that line, ends as the
// file's lines end, and goes after a "#!" line, an encoding line or an "<?xml" declaration at the
// top. Every other byte stays. Nothing when the line is out of range.
std::optional<MarkerInsertion> insertMarker(std::string_view bytes, size_t line,
                                            std::string_view marker);
// The line the marker would mark, 1-based, once the lines at the top are stepped over; nothing
// when out of range.
std::optional<size_t> markedLine(std::string_view bytes, size_t line);
// The text of that line, blanks at both ends left out.
std::string lineText(std::string_view bytes, size_t line);

// A source file read to have a marker put in, refused when it is not a regular file (after
// links), not writable, larger than a document may be, or binary (a NUL in its first 8 KB).
struct SourceFile {
    std::string path;
    std::string bytes;
    FileStamp stamp;
};
std::variant<SourceFile, std::string> readSourceFile(const std::string& path);

// Writes the bytes over the file atomically, keeping its permissions, unless it changed since
// it was read; the reason otherwise, and the file stays as it is.
std::optional<std::string> rewriteSourceFile(const SourceFile& file, std::string_view bytes);

// What placing a marker did.
struct PlacedMarker {
    size_t line = 0;   // where the marker stands now
    std::string title; // the title it was written with
};

// Puts the marker of `id` above line `line` of the file, as `pathwicks mark` and the window's
// Place Marker do: in `style`, else the file's own (model/CommentStyles); titled `title`, else
// the marked line's text, else "PATH:LINE". The reason when refused; the file is then untouched.
std::variant<PlacedMarker, std::string> placeMarker(const std::string& path, size_t line,
                                                    const std::string& id,
                                                    const std::optional<std::string>& title,
                                                    const std::optional<MarkerStyle>& style);

// Removes the marker line of `id` from the file, or only its comment when code comes before it
// on the line. The reason when nothing could be removed.
std::optional<std::string> removeMarker(const std::string& path, size_t line,
                                        const std::string& id);

} // namespace pathwicks
