#pragma once

#include <QImage>
#include <QPoint>

#include <string>
#include <unordered_map>

namespace pathwicks {

// Titles already painted once, as the pixels they left on their box's plain fill: painting
// the same title on the same fill again is a copy of those pixels, many times quicker than
// laying its glyphs over the box once more. Kept up to a bounded size.
class TitleStamps {
public:
    // The pixels a title left, from `offset` on from where its text starts, in device pixels;
    // no image for a title left to the painter.
    struct Stamp {
        QImage image;
        QPoint offset;
    };

    const Stamp* find(const std::string& key) const;
    // Keeps the stamp under the key, making room first when the stamps kept are too many.
    const Stamp& keep(const std::string& key, Stamp stamp);

private:
    std::unordered_map<std::string, Stamp> stamps_;
    qsizetype bytes_ = 0;
};

} // namespace pathwicks
