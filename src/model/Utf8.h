#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

namespace pathwicks {

// The code point of the UTF-8 sequence at text[pos] and its length, or length 0 when the bytes
// there are not UTF-8 (overlong forms and surrogates included).
std::pair<uint32_t, size_t> decodeUtf8(std::string_view text, size_t pos);

} // namespace pathwicks
