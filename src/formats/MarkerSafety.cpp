#include "formats/MarkerSafety.h"

#include "model/MarkerRule.h"

#include <cstdio>

namespace pathwicks {

namespace {

bool isAsciiWord(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The code point of the UTF-8 sequence of `length` bytes; the byte itself when it is not one.
char32_t codePoint(std::string_view bytes) {
    const auto byte = [&](size_t i) { return char32_t(static_cast<unsigned char>(bytes[i])); };
    switch (bytes.size()) {
    case 2:
        return ((byte(0) & 0x1f) << 6) | (byte(1) & 0x3f);
    case 3:
        return ((byte(0) & 0x0f) << 12) | ((byte(1) & 0x3f) << 6) | (byte(2) & 0x3f);
    case 4:
        return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3f) << 12) | ((byte(2) & 0x3f) << 6) |
               (byte(3) & 0x3f);
    default:
        return byte(0);
    }
}

size_t sequenceLength(unsigned char lead, size_t left) {
    const size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc0 ? 2 : 1;
    return length <= left ? length : 1;
}

} // namespace

std::vector<std::string> markerIds(const StepsModel& model) {
    std::vector<std::string> ids;
    for (const auto& box : model.content())
        if (isSearchableId(box->id))
            ids.push_back(box->id);
    return ids;
}

std::string jsonCharacter(char32_t c) {
    char text[16];
    if (c < 0x10000) {
        std::snprintf(text, sizeof text, "\\u%04x", unsigned(c));
    } else {
        const char32_t v = c - 0x10000;
        std::snprintf(text, sizeof text, "\\u%04x\\u%04x", unsigned(0xd800 + (v >> 10)),
                      unsigned(0xdc00 + (v & 0x3ff)));
    }
    return text;
}

std::string xmlCharacter(char32_t c) {
    return "&#" + std::to_string(unsigned(c)) + ";";
}

std::string mermaidCharacter(char32_t c) {
    return "#" + std::to_string(unsigned(c)) + ";";
}

std::pair<size_t, size_t> escapedCharacterOf(std::string_view id) {
    for (size_t i = 0; i < id.size(); ++i)
        if (isAsciiWord(static_cast<unsigned char>(id[i])))
            return {i, 1};
    return {0, id.empty() ? 0 : sequenceLength(static_cast<unsigned char>(id[0]), id.size())};
}

std::string withoutMarkers(std::string text, const std::vector<std::string>& ids,
                           const CharacterEscape& escape) {
    for (const std::string& id : ids) {
        if (!isSearchableId(id))
            continue;
        const auto [offset, length] = escapedCharacterOf(id);
        for (size_t at = text.find(id); at != std::string::npos; at = text.find(id, at + 1)) {
            if (!isMarkerAt(text, at, id.size()))
                continue;
            const std::string written =
                escape(codePoint(std::string_view(text).substr(at + offset, length)));
            text.replace(at + offset, length, written);
        }
    }
    return text;
}

std::optional<std::string> markerIn(std::string_view text, const std::vector<std::string>& ids) {
    for (const std::string& id : ids) {
        if (!isSearchableId(id))
            continue;
        for (size_t at = text.find(id); at != std::string_view::npos; at = text.find(id, at + 1))
            if (isMarkerAt(text, at, id.size()))
                return id;
    }
    return std::nullopt;
}

} // namespace pathwicks
