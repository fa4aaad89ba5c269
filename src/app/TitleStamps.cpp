#include "app/TitleStamps.h"

namespace pathwicks {

namespace {

// Some thousand titles at a device pixel ratio of 2, more than a full screen of boxes.
constexpr qsizetype mostBytes = 24 * 1024 * 1024;

} // namespace

const TitleStamps::Stamp* TitleStamps::find(const std::string& key) {
    const auto found = stamps_.find(key);
    if (found == stamps_.end())
        return nullptr;
    found->second.used = painting_;
    return &found->second.stamp;
}

bool TitleStamps::hasRoom() {
    if (bytes_ < mostBytes)
        return true;
    if (fullIn_ == painting_)
        return false;
    // Those the current painting has not used make room.
    for (auto i = stamps_.begin(); i != stamps_.end();) {
        if (i->second.used == painting_) {
            ++i;
            continue;
        }
        bytes_ -= i->second.stamp.image.sizeInBytes();
        i = stamps_.erase(i);
    }
    if (bytes_ < mostBytes)
        return true;
    fullIn_ = painting_;
    return false;
}

const TitleStamps::Stamp* TitleStamps::keep(const std::string& key, Stamp stamp) {
    if (!hasRoom())
        return nullptr;
    if (const auto kept = stamps_.find(key); kept != stamps_.end())
        bytes_ -= kept->second.stamp.image.sizeInBytes();
    bytes_ += stamp.image.sizeInBytes();
    return &stamps_.insert_or_assign(key, Kept{std::move(stamp), painting_}).first->second.stamp;
}

} // namespace pathwicks
