#include "model/MarkerRule.h"

#include <array>

namespace pathwicks {

namespace {

// "/*" and "(*" end in "*", "<!--" ends in "--": the leaders as the bytes just before the blanks.
constexpr std::array<std::string_view, 10> leaderEnds = {"//", "*", "#", "--", ";",
                                                         "%",  "!", "{-", "REM", "::"};

} // namespace

bool endsMarker(std::string_view text, size_t end) {
    if (end >= text.size())
        return true;
    const char c = text[end];
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool followsLeader(std::string_view text, size_t start) {
    size_t end = start;
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    const std::string_view before = text.substr(0, end);
    for (const auto leader : leaderEnds)
        if (before.ends_with(leader))
            return true;
    return false;
}

bool isSearchableId(std::string_view id) {
    return !id.empty() && id.find_first_of("\n\r") == std::string_view::npos;
}

std::optional<std::pair<size_t, size_t>> findMarkerWord(std::string_view line,
                                                        std::string_view idPrefix) {
    for (size_t at = line.find(idPrefix); at != std::string_view::npos;
         at = line.find(idPrefix, at + 1)) {
        if (!followsLeader(line, at))
            continue;
        size_t end = at + idPrefix.size();
        while (!endsMarker(line, end))
            ++end;
        return std::pair{at, end};
    }
    return std::nullopt;
}

} // namespace pathwicks
