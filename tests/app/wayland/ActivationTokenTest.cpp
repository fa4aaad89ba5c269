#include "app/ActivationToken.h"

#include "xdg-activation-v1-server-protocol.h"

#include <gtest/gtest.h>
#include <wayland-client.h>
#include <wayland-server.h>

#include <sys/socket.h>

#include <atomic>
#include <thread>

using namespace pathwicks;

namespace {

// A compositor of one global, xdg_activation_v1, on a thread of its own, with one client
// connected through a socket pair. It answers a token's commit with "token-1", or never.
class FakeCompositor {
public:
    enum class Offers { nothing, answeringTokens, silentTokens };

    explicit FakeCompositor(Offers offers) : offers_(offers), server_(wl_display_create()) {
        int ends[2];
        socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends);
        wl_client_create(server_, ends[0]);
        client_ = wl_display_connect_to_fd(ends[1]);
        if (offers != Offers::nothing)
            wl_global_create(server_, &xdg_activation_v1_interface, 1, this, bind);
        thread_ = std::thread([this] {
            while (!stop_) {
                wl_event_loop_dispatch(wl_display_get_event_loop(server_), 10);
                wl_display_flush_clients(server_);
            }
        });
    }
    ~FakeCompositor() {
        finish();
        wl_display_disconnect(client_);
        wl_display_destroy_clients(server_);
        wl_display_destroy(server_);
    }
    wl_display* client() const { return client_; }
    // Stops serving; what the client asked for may be read after.
    void finish() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    std::string appId;

private:
    static FakeCompositor& of(wl_resource* resource) {
        return *static_cast<FakeCompositor*>(wl_resource_get_user_data(resource));
    }
    static void destroy(wl_client*, wl_resource* resource) { wl_resource_destroy(resource); }
    static void setSerial(wl_client*, wl_resource*, uint32_t, wl_resource*) {}
    static void setSurface(wl_client*, wl_resource*, wl_resource*) {}
    static void setAppId(wl_client*, wl_resource* token, const char* id) { of(token).appId = id; }
    static void commit(wl_client*, wl_resource* token) {
        if (of(token).offers_ == Offers::answeringTokens)
            xdg_activation_token_v1_send_done(token, "token-1");
    }
    static void getToken(wl_client* client, wl_resource* activation, uint32_t id) {
        static const struct xdg_activation_token_v1_interface requests{setSerial, setAppId,
                                                                        setSurface, commit, destroy};
        wl_resource* token = wl_resource_create(client, &xdg_activation_token_v1_interface, 1, id);
        wl_resource_set_implementation(token, &requests, &of(activation), nullptr);
    }
    static void activate(wl_client*, wl_resource*, const char*, wl_resource*) {}
    static void bind(wl_client* client, void* data, uint32_t version, uint32_t id) {
        static const struct xdg_activation_v1_interface requests{destroy, getToken, activate};
        wl_resource* activation =
            wl_resource_create(client, &xdg_activation_v1_interface, version, id);
        wl_resource_set_implementation(activation, &requests, data, nullptr);
    }

    Offers offers_;
    wl_display* server_;
    wl_display* client_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace

TEST(ActivationToken, GivenWhereTheCompositorGrantsOneAndNoneElse) {
    using Offers = FakeCompositor::Offers;
    const struct {
        Offers offers;
        std::optional<std::string> token;
    } cases[] = {
        {Offers::answeringTokens, "token-1"},
        {Offers::nothing, std::nullopt},
        {Offers::silentTokens, std::nullopt},
    };
    for (const auto& each : cases) {
        FakeCompositor compositor(each.offers);
        const auto token = requestActivationToken(
            compositor.client(), {.appId = "pathwicks"}, std::chrono::milliseconds(200));
        compositor.finish();
        EXPECT_EQ(token, each.token) << static_cast<int>(each.offers);
        EXPECT_EQ(compositor.appId, each.offers == Offers::nothing ? "" : "pathwicks");
        // The connection is still usable by whoever else reads it.
        EXPECT_EQ(wl_display_get_error(compositor.client()), 0);
    }
    EXPECT_EQ(requestActivationToken(nullptr, {}), std::nullopt);
}
