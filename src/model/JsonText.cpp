#include "model/JsonText.h"

#include "model/Utf8.h"

namespace pathwicks {

bool appendJsonString(std::string& out, std::string_view text) {
    const size_t start = out.size();
    out += '"';
    size_t plain = 0; // the start of the bytes not yet copied
    for (size_t pos = 0; pos < text.size();) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c >= 0x80) {
            const size_t length = decodeUtf8(text, pos).second;
            if (length == 0) {
                out.resize(start);
                return false;
            }
            pos += length;
            continue;
        }
        if (c >= 0x20 && c != '"' && c != '\\') {
            ++pos;
            continue;
        }
        out.append(text.substr(plain, pos - plain));
        switch (c) {
        case '\b':
            out += "\\b";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\r':
            out += "\\r";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default: {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 0xf];
        }
        }
        plain = ++pos;
    }
    out.append(text.substr(plain));
    out += '"';
    return true;
}

} // namespace pathwicks
