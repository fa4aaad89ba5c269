// Rectangle text read: every coordinate finite and within the limit, and the text written for
// it reads back as the very same rectangle.
#include "FuzzCheck.h"

#include "model/RectText.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

using namespace pathwicks;

namespace {

void checkCoordinate(double value) {
    FUZZ_CHECK(std::isfinite(value));
    FUZZ_CHECK(std::abs(value) <= coordinateLimit);
}

bool same(double a, double b) {
    return a == b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Rect rect = rectFromString(text);
    for (double value : {rect.x, rect.y, rect.width, rect.height})
        checkCoordinate(value);
    const std::string written = stringFromRect(rect);
    const Rect again = rectFromString(written);
    FUZZ_CHECK(same(rect.x, again.x) && same(rect.y, again.y) && same(rect.width, again.width) &&
               same(rect.height, again.height));
    FUZZ_CHECK(stringFromRect(again) == written);

    // The input's first bytes as a double of any value, written and read back: exact for
    // values within the limit.
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        const std::string number = formatNumber(value);
        const Rect read = rectFromString(number);
        if (std::isfinite(value) && std::abs(value) <= coordinateLimit)
            FUZZ_CHECK(read.x == value);
        else
            checkCoordinate(read.x);
    }
    return 0;
}
