#pragma once

#include "model/Geometry.h"

namespace pathwicks {

// The modifier keys the canvas looks at; the command key never matters to it.
enum Modifier : unsigned {
    shiftKey = 1u << 0,
    controlKey = 1u << 1,
    optionKey = 1u << 2,
};

// One press, drag or release as the canvas sees it, free of any windowing system.
struct PointerEvent {
    Point location; // canvas coordinates
    unsigned modifiers = 0;
    int clickCount = 1;
    // Pointer movement since the previous event, in screen points; panning follows it.
    Point delta;

    bool has(Modifier modifier) const { return (modifiers & modifier) != 0; }
};

} // namespace pathwicks
