#include "model/PrintableText.h"

#include "model/Utf8.h"

#include <cstdio>

namespace pathwicks {

namespace {

void appendEscape(std::string& out, const char* form, unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, form, value);
    out += buffer;
}

bool isHidden(uint32_t point) {
    return (point >= 0x80 && point <= 0x9f) || // C1 controls
           point == 0x061c || point == 0x200e || point == 0x200f || // directional marks
           (point >= 0x202a && point <= 0x202e) || (point >= 0x2066 && point <= 0x2069) ||
           point == 0x2028 || point == 0x2029;
}

} // namespace

std::string printableText(std::string_view text, bool escapeSpaces) {
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80) {
            if (c == '\\')
                out += "\\\\";
            else if (c == '\n')
                out += "\\n";
            else if (c == '\t')
                out += "\\t";
            else if (c == '\r')
                out += "\\r";
            else if (c < 0x20 || c == 0x7f || (c == ' ' && escapeSpaces))
                appendEscape(out, "\\x%02x", c);
            else
                out += static_cast<char>(c);
            ++pos;
            continue;
        }
        const auto [point, length] = decodeUtf8(text, pos);
        if (length == 0) {
            appendEscape(out, "\\x%02x", c);
            ++pos;
        } else {
            if (isHidden(point))
                appendEscape(out, "\\u%04x", point);
            else
                out.append(text.substr(pos, length));
            pos += length;
        }
    }
    return out;
}

} // namespace pathwicks
