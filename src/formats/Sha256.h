#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pathwicks {

// The SHA-256 digest of the bytes.
std::array<uint8_t, 32> sha256(std::string_view bytes);

// The bytes in base64 with padding, as a Content-Security-Policy hash is written.
std::string base64(std::string_view bytes);

// 'sha256-…': the source expression that allows exactly this inline script or style.
std::string cspHash(std::string_view text);

} // namespace pathwicks
