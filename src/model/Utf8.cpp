#include "model/Utf8.h"

namespace pathwicks {

std::pair<uint32_t, size_t> decodeUtf8(std::string_view text, size_t pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    size_t length;
    uint32_t point;
    if (lead < 0x80)
        return {lead, 1};
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        point = lead & 0x1f;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        point = lead & 0x0f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        point = lead & 0x07;
    } else {
        return {0, 0};
    }
    if (pos + length > text.size())
        return {0, 0};
    for (size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xc0) != 0x80)
            return {0, 0};
        point = point << 6 | (byte(pos + i) & 0x3f);
    }
    const bool overlong = (length == 3 && point < 0x800) || (length == 4 && point < 0x10000);
    if (overlong || point > 0x10ffff || (point >= 0xd800 && point <= 0xdfff))
        return {0, 0};
    return {point, length};
}

} // namespace pathwicks
