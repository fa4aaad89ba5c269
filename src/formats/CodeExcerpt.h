#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pathwicks {

// The code around a marker as an export shows it: the marker's line and the lines after it.
struct ExcerptLine {
    uint64_t number = 0;   // counted from 1
    std::string text = {}; // as the file holds it, without its end
};
struct CodeExcerpt {
    std::vector<ExcerptLine> lines = {}; // the first is the marker's
    uint64_t markerLine = 0;
};

inline constexpr size_t linesAfterMarker = 12;
inline constexpr int tabWidth = 4;

// The marker line of the file's text and up to linesAfterMarker lines after it; lines end at
// LF, CR LF or a lone CR. Empty when the text has no such line.
CodeExcerpt codeExcerpt(std::string_view fileText, uint64_t markerLine);

// The excerpt as a <pre> block: a number before each line, every character escaped, each
// control a marked span, the marker's line marked.
std::string excerptHtml(const CodeExcerpt& excerpt);

// The excerpt as a Markdown fenced code block: a number before each line.
std::string excerptMarkdown(const CodeExcerpt& excerpt);

} // namespace pathwicks
