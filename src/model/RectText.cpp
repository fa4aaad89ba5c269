#include "model/RectText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace pathwicks {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number that starts at text[pos], or 0 when none starts there.
size_t numberLength(std::string_view text, size_t pos) {
    size_t i = pos;
    const size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        size_t j = i + 1;
        size_t fraction = 0;
        while (j < n && isDigit(text[j])) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i - pos;
}

double readNumber(std::string_view number) {
    if (!number.empty() && number.front() == '+')
        number.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Underflow is as good as zero; overflow names no place on any canvas.
        return 0;
    }
    if (error != std::errc() || !std::isfinite(value))
        return 0;
    if (value > coordinateLimit)
        return coordinateLimit;
    if (value < -coordinateLimit)
        return -coordinateLimit;
    return value;
}

} // namespace

Rect rectFromString(std::string_view text) {
    std::array<double, 4> values{};
    size_t found = 0;
    size_t pos = 0;
    while (pos < text.size() && found < values.size()) {
        const size_t length = numberLength(text, pos);
        if (length == 0) {
            ++pos;
            continue;
        }
        values[found++] = readNumber(text.substr(pos, length));
        pos += length;
    }
    return Rect{values[0], values[1], values[2], values[3]};
}

bool holdsRect(std::string_view text) {
    size_t found = 0;
    for (size_t pos = 0; pos < text.size() && found < 4;) {
        const size_t length = numberLength(text, pos);
        pos += length ? length : 1;
        found += length ? 1 : 0;
    }
    return found == 4;
}

std::string formatNumber(double value) {
    if (!std::isfinite(value) || value == 0)
        return "0";
    char buffer[400];
    const bool integral = std::trunc(value) == value;
    auto result = integral ? std::to_chars(buffer, buffer + sizeof buffer, value,
                                           std::chars_format::fixed, 0)
                           : std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string stringFromRect(const Rect& rect) {
    return "{{" + formatNumber(rect.x) + ", " + formatNumber(rect.y) + "}, {" +
           formatNumber(rect.width) + ", " + formatNumber(rect.height) + "}}";
}

} // namespace pathwicks
