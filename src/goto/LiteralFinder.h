#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pathwicks {

// Finds a fixed byte string in a buffer. Two of its rarest bytes are compared sixteen
// positions at a time, and only where both agree is the whole string compared, which keeps
// the search near memory speed on source text.
class LiteralFinder {
public:
    explicit LiteralFinder(std::string needle);

    // Offset of the first occurrence at or after `from`, or npos.
    size_t find(std::string_view text, size_t from = 0) const;

    const std::string& needle() const { return needle_; }

private:
    std::string needle_;
    size_t rare1_ = 0;
    size_t rare2_ = 0;
};

} // namespace pathwicks
