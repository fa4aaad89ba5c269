#include "model/MarkerLine.h"

#include "model/MarkerRule.h"

#include <algorithm>

namespace pathwicks {

namespace {

constexpr std::string_view idPrefix = "pathwick-";

// Block comments: a title pasted from one ends before its closer.
struct Block {
    std::string_view opener;
    std::string_view closer;
};
constexpr Block blocks[] = {{"/*", "*/"}, {"<!--", "-->"}, {"(*", "*)"}, {"{-", "-}"}};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Control characters (C0, DEL, C1) and the Unicode line and paragraph separators as spaces, so
// that the text stays on one line in every editor.
std::string oneLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7f) {
            line += ' ';
        } else if (c == 0xc2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
            line += ' ';
            ++i;
        } else if (c == 0xe2 && text.substr(i + 1, 2) == "\x80\xa8") {
            line += ' ';
            i += 2;
        } else if (c == 0xe2 && text.substr(i + 1, 2) == "\x80\xa9") {
            line += ' ';
            i += 2;
        } else {
            line += static_cast<char>(c);
        }
    }
    return line;
}

// Ids are printable: one holding a control character is no id that was copied.
bool isPrintableId(std::string_view id) {
    return std::none_of(id.begin(), id.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    });
}

void dropTrailing(std::string& text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\\'))
        text.pop_back();
}

} // namespace

const std::vector<MarkerStyle>& markerStyles() {
    static const std::vector<MarkerStyle> styles = {
        {"//", ""}, {"#", ""},      {"--", ""},      {";", ""},  {"%", ""},
        {"/*", "*/"}, {"<!--", "-->"}, {"(*", "*)"}, {"!", ""}, {"REM", ""},
    };
    return styles;
}

const MarkerStyle& markerStyleOf(std::string_view opener) {
    for (const auto& style : markerStyles())
        if (style.opener == opener)
            return style;
    return markerStyles().front();
}

std::string markerLine(const Reference& reference, const MarkerStyle& style) {
    std::string text = oneLine(reference.id) + " " + oneLine(reference.title);
    if (!style.closer.empty()) {
        // "*/" inside the title would end the comment early: "* /" does not.
        const std::string_view closer = style.closer;
        const std::string broken = std::string(closer.substr(0, closer.size() - 1)) + " " +
                                   std::string(closer.substr(closer.size() - 1));
        for (size_t at = text.find(closer); at != std::string::npos;
             at = text.find(closer, at + broken.size()))
            text.replace(at, closer.size(), broken);
    }
    dropTrailing(text);
    std::string line = std::string(style.opener) + " " + text;
    if (!style.closer.empty())
        line += " " + std::string(style.closer);
    return line + "\n";
}

std::optional<Marker> parseMarkerLine(std::string_view text) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\n\r", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;

        size_t first = 0;
        while (first < line.size() && isBlank(line[first]))
            ++first;
        size_t last = line.size();
        while (last > first && isBlank(line[last - 1]))
            --last;
        const std::string_view trimmed = line.substr(first, last - first);
        // A bare id on its own.
        if (trimmed.starts_with(idPrefix) && trimmed.size() > idPrefix.size() &&
            trimmed.find_first_of(" \t") == std::string_view::npos && isPrintableId(trimmed))
            return Marker{std::string(trimmed), "", false};

        const auto word = findMarkerWord(line, idPrefix);
        if (!word || word->second == word->first + idPrefix.size() ||
            !isPrintableId(line.substr(word->first, word->second - word->first)))
            continue;
        Marker marker{std::string(line.substr(word->first, word->second - word->first)), "", false};
        if (word->second < line.size()) {
            std::string title(line.substr(word->second + 1));
            // A block comment's closer, and the blanks before it, are no part of the title.
            std::string_view opening = line.substr(0, word->first);
            while (!opening.empty() && isBlank(opening.back()))
                opening.remove_suffix(1);
            std::string_view rest = title;
            while (!rest.empty() && isBlank(rest.back()))
                rest.remove_suffix(1);
            for (const auto& block : blocks) {
                if (opening.ends_with(block.opener) && rest.ends_with(block.closer)) {
                    rest.remove_suffix(block.closer.size());
                    while (!rest.empty() && isBlank(rest.back()))
                        rest.remove_suffix(1);
                    title = std::string(rest);
                    break;
                }
            }
            marker.title = std::move(title);
            marker.hasTitle = true;
        }
        return marker;
    }
    return std::nullopt;
}

} // namespace pathwicks
