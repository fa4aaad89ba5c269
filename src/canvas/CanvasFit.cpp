#include "canvas/CanvasFit.h"

#include "model/ContentSize.h"

#include <algorithm>

namespace pathwicks {

std::optional<Size> fittedCanvasSize(const StepsModel& model, Size current, Size visible) {
    const Size content = contentSize(model);
    const Size fitted{std::max(content.width, visible.width),
                      std::max(content.height, visible.height)};
    if (fitted.width > current.width || fitted.height > current.height)
        return fitted;
    return std::nullopt;
}

} // namespace pathwicks
