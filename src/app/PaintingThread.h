#pragma once

#include <functional>

namespace pathwicks {

class QtTextMeasurer;

// Runs `here` on the calling thread and, at the same time, `there` on a second thread kept for
// painting, with that thread's own fonts (a font is not to be used on two threads at once);
// returns when both have ended. When the second thread has not begun `there` by the time
// `here` ends (the other cores are busy), `there` runs here too, with `fonts`; so it does the
// first time, and the thread starts after.
// False, having run neither, when there is no second thread to run on: on a single core, with
// no application running, or while another painting uses it.
bool paintAlongside(const QtTextMeasurer& fonts, const std::function<void()>& here,
                    const std::function<void(const QtTextMeasurer&)>& there);

} // namespace pathwicks
