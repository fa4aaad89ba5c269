#include "app/TitleStamps.h"

namespace pathwicks {

namespace {

// Some thousands of titles: a full screen of boxes at a device pixel ratio of 2.
constexpr qsizetype mostBytes = 48 * 1024 * 1024;

} // namespace

const TitleStamps::Stamp* TitleStamps::find(const std::string& key) const {
    const auto found = stamps_.find(key);
    return found == stamps_.end() ? nullptr : &found->second;
}

const TitleStamps::Stamp& TitleStamps::keep(const std::string& key, Stamp stamp) {
    const qsizetype bytes = stamp.image.sizeInBytes();
    if (bytes_ + bytes > mostBytes) {
        stamps_.clear();
        bytes_ = 0;
    }
    bytes_ += bytes;
    return stamps_.insert_or_assign(key, std::move(stamp)).first->second;
}

} // namespace pathwicks
