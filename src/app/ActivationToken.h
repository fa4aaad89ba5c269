#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct wl_display;
struct wl_seat;
struct wl_surface;

namespace pathwicks {

// What a Wayland compositor weighs before it lets a program that is started come to the front:
// the input event that asked for it (its serial, on its seat), the surface it reached, and the
// asking program's id. Any may be missing; the compositor then decides on less.
struct ActivationRequest {
    wl_surface* surface = nullptr;
    wl_seat* seat = nullptr;
    std::uint32_t serial = 0;
    std::string appId;
};

// Asks the compositor on display for an xdg-activation token to give a program it starts. None
// where the compositor offers no xdg_activation_v1, the connection fails, or no answer comes
// within a second. The answer is read on an event queue of its own, so the events of whoever
// else uses the connection stay where they are.
std::optional<std::string> requestActivationToken(wl_display* display,
                                                  const ActivationRequest& request);

} // namespace pathwicks
