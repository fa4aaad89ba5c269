#include "appearance/CopyIcon.h"

namespace pathwicks {

DrawList copyIcon() {
    constexpr Color white{1, 1, 1, 1};
    constexpr Color black = opaqueBlack;
    constexpr double radius = 4;
    const Rect back{13, 7, 24, 24};
    const Rect front{7, 13, 24, 24};
    return {
        RectOp{{2, 2, 40, 40}, radius, white, std::nullopt, 1},
        RectOp{back, radius, std::nullopt, black, 2},
        // The wide white outline cuts the back square where the front one overlaps it.
        RectOp{front, radius, white, white, 6},
        RectOp{front, radius, std::nullopt, black, 2},
    };
}

} // namespace pathwicks
