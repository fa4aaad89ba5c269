#pragma once

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace pathwicks {

// Titles already painted once, as the pixels they left on their box's plain fill: painting
// the same title on the same fill again is a copy of those pixels, many times quicker than
// laying its glyphs over the box once more. Kept up to a bounded size: when full, those not
// used in the current painting make room, and when none can, a title is not kept.
class TitleStamps {
public:
    // The pixels a title left, from `offset` on from where its text starts, in device pixels;
    // no image for a title left to the painter.
    struct Stamp {
        QImage image;
        QPoint offset;
        // For each row of the image, the first and last column the title changed (none: first
        // past last).
        std::vector<std::pair<int, int>> ink;
        // Made in a picture apart, not taken from where the title was painted.
        bool apart = false;
    };

    // A new painting begins.
    void nextPainting() { ++painting_; }
    const Stamp* find(const std::string& key);
    // Whether there is room for another stamp, making some if needed: when there is none,
    // making a stamp would be wasted.
    bool hasRoom();
    // Keeps the stamp under the key; nothing when there is no room for it.
    const Stamp* keep(const std::string& key, Stamp stamp);

private:
    struct Kept {
        Stamp stamp;
        uint64_t used;
    };
    std::unordered_map<std::string, Kept> stamps_;
    qsizetype bytes_ = 0;
    uint64_t painting_ = 0;
    uint64_t fullIn_ = UINT64_MAX; // the painting that found no room
};

} // namespace pathwicks
