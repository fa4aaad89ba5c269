#include "model/TextMeasurer.h"

#include <cmath>

namespace pathwicks {

const TextAttributes& referenceTextAttributes() {
    static const TextAttributes attributes{"LucidaGrande", referenceFontSize, true};
    return attributes;
}

const TextAttributes& labelTextAttributes() {
    static const TextAttributes attributes{"LucidaGrande", labelFontSize, true};
    return attributes;
}

double fittedWidth(double measuredTextWidth) {
    const double needed = measuredTextWidth + 40;
    if (!(needed > 100))
        return 100;
    // Computed rather than counted up in steps of 40, so that a huge width cannot stall.
    double width = 100 + 40 * std::ceil((needed - 100) / 40);
    // The division may round one step short or long.
    if (needed > width)
        width += 40;
    else if (width - 40 >= 100 && !(needed > width - 40))
        width -= 40;
    return width;
}

void fitWidth(Rect& rect, double measuredTextWidth) {
    const double width = fittedWidth(measuredTextWidth);
    rect.x += rect.width / 2 - width / 2;
    rect.width = width;
}

} // namespace pathwicks
