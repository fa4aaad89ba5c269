#include "app/ActivationToken.h"

#include "xdg-activation-v1-client-protocol.h"

#include <wayland-client.h>

#include <poll.h>

#include <chrono>
#include <cstring>

namespace pathwicks {

namespace {

using Clock = std::chrono::steady_clock;

// Reads the connection until done is set, the connection fails, or the deadline passes. Other
// threads may read the same connection at once (the toolkit does): libwayland shares the reading
// out, and each queue gets its own events.
bool dispatchUntil(wl_display* display, wl_event_queue* queue, const bool& done,
                   Clock::time_point deadline) {
    while (!done) {
        if (wl_display_prepare_read_queue(display, queue) != 0) {
            if (wl_display_dispatch_queue_pending(display, queue) < 0)
                return false;
            continue;
        }
        wl_display_flush(display);
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd readable{wl_display_get_fd(display), POLLIN, 0};
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            wl_display_cancel_read(display);
            return false;
        }
        if (wl_display_read_events(display) < 0 ||
            wl_display_dispatch_queue_pending(display, queue) < 0)
            return false;
    }
    return true;
}

void onSynced(void* data, wl_callback*, std::uint32_t) {
    *static_cast<bool*>(data) = true;
}
const wl_callback_listener syncListener{onSynced};

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t) {
    auto** activation = static_cast<xdg_activation_v1**>(data);
    if (!*activation && std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
        *activation = static_cast<xdg_activation_v1*>(
            wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
}
void onGlobalRemoved(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registryListener{onGlobal, onGlobalRemoved};

struct Answer {
    bool done = false;
    std::string token;
};
void onToken(void* data, xdg_activation_token_v1*, const char* token) {
    auto* answer = static_cast<Answer*>(data);
    answer->token = token ? token : "";
    answer->done = true;
}
const xdg_activation_token_v1_listener tokenListener{onToken};

// The compositor's activation global, bound on queue, once every global has been announced.
xdg_activation_v1* findActivation(wl_display* display, wl_display* onQueue, wl_event_queue* queue,
                                  Clock::time_point deadline) {
    xdg_activation_v1* activation = nullptr;
    wl_registry* registry = wl_display_get_registry(onQueue);
    wl_registry_add_listener(registry, &registryListener, &activation);
    bool synced = false;
    wl_callback* sync = wl_display_sync(onQueue);
    wl_callback_add_listener(sync, &syncListener, &synced);
    const bool answered = dispatchUntil(display, queue, synced, deadline);
    if (!synced)
        wl_callback_destroy(sync);
    wl_registry_destroy(registry);
    if (!answered && activation) {
        xdg_activation_v1_destroy(activation);
        return nullptr;
    }
    return activation;
}

std::optional<std::string> askForToken(wl_display* display, wl_event_queue* queue,
                                       xdg_activation_v1* activation,
                                       const ActivationRequest& request,
                                       Clock::time_point deadline) {
    xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(activation);
    Answer answer;
    xdg_activation_token_v1_add_listener(token, &tokenListener, &answer);
    if (request.seat && request.serial != 0)
        xdg_activation_token_v1_set_serial(token, request.serial, request.seat);
    if (request.surface)
        xdg_activation_token_v1_set_surface(token, request.surface);
    if (!request.appId.empty())
        xdg_activation_token_v1_set_app_id(token, request.appId.c_str());
    xdg_activation_token_v1_commit(token);
    dispatchUntil(display, queue, answer.done, deadline);
    xdg_activation_token_v1_destroy(token);
    if (!answer.done || answer.token.empty())
        return std::nullopt;
    return answer.token;
}

} // namespace

std::optional<std::string> requestActivationToken(wl_display* display,
                                                  const ActivationRequest& request) {
    if (!display)
        return std::nullopt;
    // A compositor that does not answer holds up the click no longer than this.
    const auto deadline = Clock::now() + std::chrono::seconds(1);
    wl_event_queue* queue = wl_display_create_queue(display);
    auto* onQueue = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(onQueue), queue);
    std::optional<std::string> token;
    if (xdg_activation_v1* activation = findActivation(display, onQueue, queue, deadline)) {
        token = askForToken(display, queue, activation, request, deadline);
        xdg_activation_v1_destroy(activation);
    }
    wl_proxy_wrapper_destroy(onQueue);
    wl_display_flush(display);
    wl_event_queue_destroy(queue);
    return token;
}

} // namespace pathwicks
