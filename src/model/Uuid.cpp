#include "model/Uuid.h"

#include <cstdint>
#include <random>

namespace pathwicks {

std::string makeUuidText() {
    thread_local std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }();
    uint8_t bytes[16];
    for (int i = 0; i < 16; i += 8) {
        const uint64_t word = generator();
        for (int b = 0; b < 8; ++b)
            bytes[i + b] = static_cast<uint8_t>(word >> (8 * b));
    }
    bytes[6] = (bytes[6] & 0x0F) | 0x40; // version 4
    bytes[8] = (bytes[8] & 0x3F) | 0x80; // RFC 4122 variant

    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}

} // namespace pathwicks
