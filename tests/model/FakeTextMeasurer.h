#pragma once

#include "model/TextMeasurer.h"

// Every character is 7 points wide at 12 points and scales with the size; a line is 1.25 times
// the size high. Enough to tell the sizes apart and to predict fitted widths.
class FakeTextMeasurer : public pathwicks::TextMeasurer {
public:
    pathwicks::Size measureText(std::string_view text,
                                const pathwicks::TextAttributes& attributes) const override {
        return {static_cast<double>(text.size()) * 7 * attributes.fontSize / 12,
                attributes.fontSize * 1.25};
    }
};
