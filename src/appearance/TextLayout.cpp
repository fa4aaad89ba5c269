#include "appearance/TextLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace pathwicks {

namespace {

// Where the UTF-8 code point that starts at i ends.
size_t nextCodePoint(std::string_view text, size_t i) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
        ++i;
    return i;
}

std::string_view trimTrailingSpaces(std::string_view text) {
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

class LineBreaker {
public:
    LineBreaker(double width, const TextAttributes& attributes, const LayoutMeasurer& measurer)
        : width_(width), attributes_(attributes), measurer_(measurer) {}

    struct Line {
        std::string_view text;
        double width;
    };

    // The first maxLines lines of the paragraph: a title of a megabyte is broken only as far
    // as its box shows it.
    std::vector<Line> lines(std::string_view paragraph, size_t maxLines) const {
        std::vector<Line> result;
        while (result.size() < maxLines) {
            paragraph = result.empty() ? paragraph : skipSpaces(paragraph);
            const std::string_view rest = trimTrailingSpaces(paragraph);
            const double restWidth = tooLongForOneLine(rest) ? HUGE_VAL : measure(rest);
            if (restWidth <= width_ || paragraph.empty()) {
                if (!paragraph.empty() || result.empty())
                    result.push_back({rest, restWidth});
                return result;
            }
            const size_t end = lineEnd(paragraph);
            const std::string_view line = trimTrailingSpaces(paragraph.substr(0, end));
            result.push_back({line, measure(line)});
            paragraph.remove_prefix(end);
        }
        return result;
    }

private:
    // Whether a long text's start is wider than a line already: this spares measuring all of
    // a long text again for every line broken off it.
    bool tooLongForOneLine(std::string_view text) const {
        constexpr size_t probe = 4096;
        if (text.size() <= probe)
            return false;
        size_t end = probe;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        return !fits(text.substr(0, end));
    }

    double measure(std::string_view text) const {
        return measurer_.measureText(text, attributes_).width;
    }
    bool fits(std::string_view text) const { return measure(text) <= width_; }

    static std::string_view skipSpaces(std::string_view text) {
        while (!text.empty() && text.front() == ' ')
            text.remove_prefix(1);
        return text;
    }

    // The length of the longest run of whole words that fits, or, when even the first word is
    // too long, of the longest run of its code points that fits (at least one).
    size_t lineEnd(std::string_view text) const {
        size_t best = 0;
        size_t space = text.find(' ', 1);
        while (space != std::string_view::npos && fits(trimTrailingSpaces(text.substr(0, space)))) {
            best = space;
            space = text.find(' ', space + 1);
        }
        if (best > 0)
            return best;
        size_t end = nextCodePoint(text, 0);
        while (end < text.size()) {
            const size_t next = nextCodePoint(text, end);
            if (!fits(text.substr(0, next)))
                break;
            end = next;
        }
        return end;
    }

    double width_;
    const TextAttributes& attributes_;
    const LayoutMeasurer& measurer_;
};

} // namespace

const TextAttributes& textAttributes(TextStyle style) {
    return style == TextStyle::label ? labelTextAttributes() : referenceTextAttributes();
}

void appendText(DrawList& list, std::string_view text, const Rect& rect, TextStyle style,
                const Color& color, const LayoutMeasurer& measurer,
                const std::optional<Rect>& clip) {
    if (text.empty() || !(rect.width > 0) || !(rect.height > 0))
        return;
    const Rect cut = clip.value_or(rect);
    const double bottom = std::min(rect.maxY(), cut.maxY());
    const TextAttributes& attributes = textAttributes(style);
    const double lineHeight = measurer.lineHeight(attributes);
    const double ascent = measurer.ascent(attributes);
    const LineBreaker breaker(rect.width, attributes, measurer);
    const double centerX = rect.x + rect.width / 2;

    double top = rect.y;
    size_t start = 0;
    while (start <= text.size() && top < bottom) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r')
            paragraph.remove_suffix(1);
        // Only the lines that start inside the rectangle are broken off.
        const double room = std::ceil((bottom - top) / lineHeight);
        const size_t maxLines = room >= 1e9 || !(lineHeight > 0) ? SIZE_MAX : size_t(room) + 1;
        for (const auto& line : breaker.lines(paragraph, maxLines)) {
            if (!(top < bottom))
                break;
            if (!line.text.empty())
                list.push_back(TextOp{std::string(line.text), style, centerX, top + ascent,
                                      line.width, cut, color});
            top += lineHeight;
        }
        start = end + 1;
    }
}

} // namespace pathwicks
