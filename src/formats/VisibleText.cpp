#include "formats/VisibleText.h"

#include "model/Utf8.h"

#include <cstdio>

namespace pathwicks {

namespace {

bool hidesOrReorders(uint32_t point) {
    return (point < 0x20 && point != '\t' && point != '\n' && point != '\r') ||
           (point >= 0x7f && point < 0xa0) || (point >= 0x202a && point <= 0x202e) ||
           (point >= 0x2066 && point <= 0x2069) || point == 0x200e || point == 0x200f ||
           point == 0x061c;
}

std::string codePointName(uint32_t point) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", unsigned(point));
    return name;
}

std::string escapedMarkup(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

std::vector<TextPiece> visiblePieces(std::string_view text) {
    std::vector<TextPiece> pieces;
    const auto add = [&](std::string_view piece, bool control) {
        if (control || pieces.empty() || pieces.back().control)
            pieces.push_back({std::string(piece), control});
        else
            pieces.back().text += piece;
    };
    for (size_t pos = 0; pos < text.size();) {
        const auto [point, length] = decodeUtf8(text, pos);
        if (length == 0) {
            add("\xef\xbf\xbd", false);
            ++pos;
            continue;
        }
        if (hidesOrReorders(point))
            add(codePointName(point), true);
        else
            add(text.substr(pos, length), false);
        pos += length;
    }
    return pieces;
}

std::string htmlText(std::string_view text) {
    std::string html;
    for (const auto& piece : visiblePieces(text))
        html += piece.control ? "<span class=\"control\">&lt;" + piece.text + "&gt;</span>"
                              : escapedMarkup(piece.text);
    return html;
}

std::string plainVisibleText(std::string_view text) {
    std::string plain;
    for (const auto& piece : visiblePieces(text))
        plain += piece.control ? "<" + piece.text + ">" : piece.text;
    return plain;
}

} // namespace pathwicks
