#include "formats/CodeExcerpt.h"

#include "formats/VisibleText.h"
#include "model/Utf8.h"

#include <algorithm>

namespace pathwicks {

namespace {

// Columns count code points; a control shows as "<U+202E>".
size_t widthOf(std::string_view text) {
    size_t width = 0;
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = decodeUtf8(text, pos).second;
        pos += length ? length : 1;
        ++width;
    }
    return width;
}

// The line with each tab out to the next stop and each control written "<U+202E>"; the pieces
// kept apart so that HTML can mark the controls.
std::vector<TextPiece> shownPieces(std::string_view line) {
    std::vector<TextPiece> shown;
    size_t column = 0;
    for (auto& piece : visiblePieces(line)) {
        if (piece.control) {
            column += piece.text.size() + 2;
            shown.push_back(std::move(piece));
            continue;
        }
        std::string expanded;
        for (size_t start = 0; start <= piece.text.size();) {
            const size_t tab = std::min(piece.text.find('\t', start), piece.text.size());
            const std::string_view run(piece.text.data() + start, tab - start);
            expanded += run;
            column += widthOf(run);
            if (tab == piece.text.size())
                break;
            const size_t spaces = tabWidth - column % tabWidth;
            expanded.append(spaces, ' ');
            column += spaces;
            start = tab + 1;
        }
        shown.push_back({std::move(expanded), false});
    }
    return shown;
}

std::string joined(const std::vector<TextPiece>& pieces, bool html) {
    std::string text;
    for (const auto& piece : pieces) {
        if (!piece.control)
            text += html ? htmlText(piece.text) : piece.text;
        else if (html)
            text += "<span class=\"control\">&lt;" + piece.text + "&gt;</span>";
        else
            text += "<" + piece.text + ">";
    }
    return text;
}

// The lines from `first` on, at most count of them, without their ends.
std::vector<std::string_view> linesFrom(std::string_view text, uint64_t first, size_t count) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (uint64_t current = 1; start <= text.size() && lines.size() < count; ++current) {
        size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        if (current >= first)
            lines.push_back(text.substr(start, end - start));
        if (end == text.size())
            break;
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (start == text.size())
            break; // the last line's end ends the text
    }
    return lines;
}

std::string numberColumn(uint64_t number, size_t width) {
    std::string text = std::to_string(number);
    return std::string(width - std::min(width, text.size()), ' ') + text;
}

} // namespace

CodeExcerpt codeExcerpt(std::string_view fileText, uint64_t markerLine) {
    CodeExcerpt excerpt{.markerLine = markerLine};
    if (markerLine == 0)
        return excerpt;
    uint64_t number = markerLine;
    for (const auto line : linesFrom(fileText, markerLine, linesAfterMarker + 1))
        excerpt.lines.push_back({number++, std::string(line)});
    return excerpt;
}

std::string excerptHtml(const CodeExcerpt& excerpt) {
    std::string html = "<pre class=\"excerpt\"><code>";
    for (const auto& line : excerpt.lines) {
        html += line.number == excerpt.markerLine ? "<span class=\"line marker\">"
                                                  : "<span class=\"line\">";
        html += "<span class=\"ln\">" + std::to_string(line.number) + "</span>" +
                joined(shownPieces(line.text), true) + "</span>";
    }
    return html + "</code></pre>\n";
}

std::string excerptMarkdown(const CodeExcerpt& excerpt) {
    if (excerpt.lines.empty())
        return {};
    const size_t width = std::to_string(excerpt.lines.back().number).size();
    std::string body;
    for (const auto& line : excerpt.lines)
        body +=
            numberColumn(line.number, width) + "  " + joined(shownPieces(line.text), false) + "\n";
    // A fence longer than any run of backticks inside.
    size_t longest = 0, run = 0;
    for (char c : body)
        longest = std::max(longest, run = c == '`' ? run + 1 : 0);
    const std::string fence(std::max<size_t>(3, longest + 1), '`');
    return fence + "\n" + body + fence + "\n";
}

} // namespace pathwicks
