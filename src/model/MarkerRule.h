#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace pathwicks {

// The one rule that ties a reference to a line of code, used by the goto tools, `check`, the
// panel and the marker paste alike. A line carries the marker of an id when the id stands on it
// after a comment leader ("//", "/*", "*", "#", "--", ";", "%", "!", "<!--", "(*", "{-", "REM",
// "::") and zero or more spaces or tabs, and is followed by a space, a tab, a line end or the end
// of the text. The leader may follow code. A quote is no leader, so the ids a document file holds
// in quotes never count.

// Whether the byte at `end` (or the end of the text) may follow a marker.
bool endsMarker(std::string_view text, size_t end);

// Whether the id starting at `start` stands after a leader and blanks on its line.
bool followsLeader(std::string_view text, size_t start);

// Whether `id` at `start` of text is a marker: after a leader, and ended as a marker is.
inline bool isMarkerAt(std::string_view text, size_t start, size_t idLength) {
    return followsLeader(text, start) && endsMarker(text, start + idLength);
}

// Whether an id can be found at all: not empty and on one line.
bool isSearchableId(std::string_view id);

// The first marker on a line whose id begins with idPrefix: the id's start and end. The id runs
// up to a space, a tab, a line end or the end of the line.
std::optional<std::pair<size_t, size_t>> findMarkerWord(std::string_view line,
                                                        std::string_view idPrefix);

} // namespace pathwicks
