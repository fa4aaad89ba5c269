#pragma once

#include "appearance/LayoutMeasurer.h"

namespace pathwicks::testing {

// Every byte is half the font size wide; lines are 1.25 sizes apart, the baseline 1 size down.
class FakeLayoutMeasurer : public LayoutMeasurer {
public:
    Size measureText(std::string_view text, const TextAttributes& attributes) const override {
        return {double(text.size()) * attributes.fontSize / 2, attributes.fontSize * 1.25};
    }
    double ascent(const TextAttributes& attributes) const override { return attributes.fontSize; }
    double lineHeight(const TextAttributes& attributes) const override {
        return attributes.fontSize * 1.25;
    }
};

} // namespace pathwicks::testing
