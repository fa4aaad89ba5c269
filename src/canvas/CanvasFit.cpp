#include "canvas/CanvasFit.h"

#include <algorithm>
#include <limits>

namespace pathwicks {

std::optional<Size> fittedCanvasSize(const StepsModel& model, Size current, Size visible) {
    double minX = std::numeric_limits<double>::infinity();
    double minY = minX;
    double maxX = -minX;
    double maxY = -minX;
    auto include = [&](const Rect& r) {
        minX = std::min(minX, r.minX());
        minY = std::min(minY, r.minY());
        maxX = std::max(maxX, r.maxX());
        maxY = std::max(maxY, r.maxY());
    };
    for (const auto& reference : model.content())
        include(reference->rect);
    for (const auto& label : model.labels)
        include(label->rect);
    if (model.content().empty() && model.labels.empty())
        minX = minY = maxX = maxY = 0;

    const double width = std::max(minX + maxX, visible.width);
    const double height = std::max(minY + maxY, visible.height);
    if (width > current.width || height > current.height)
        return Size{width, height};
    return std::nullopt;
}

} // namespace pathwicks
