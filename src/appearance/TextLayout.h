#pragma once

#include "appearance/DrawList.h"
#include "appearance/LayoutMeasurer.h"

#include <optional>
#include <string_view>

namespace pathwicks {

const TextAttributes& textAttributes(TextStyle style);

// Draws text into a rectangle the way titles are drawn: wrapped at the rectangle's width
// (between words, or inside a word too long for a line), each line centred, and cut off at the
// rectangle's edges, or at clip's when one is given. Lines that would start below either are
// left out.
void appendText(DrawList& list, std::string_view text, const Rect& rect, TextStyle style,
                const Color& color, const LayoutMeasurer& measurer,
                const std::optional<Rect>& clip = std::nullopt);

} // namespace pathwicks
