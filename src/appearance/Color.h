#pragma once

namespace pathwicks {

// Red, green, blue and alpha, each nominally from 0 to 1.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
    bool operator==(const Color&) const = default;
};

inline constexpr Color opaqueRed{1, 0, 0, 1};
inline constexpr Color opaqueBlack{0, 0, 0, 1};

} // namespace pathwicks
