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

// A compositor on a thread of its own, with one client on a socket pair. It offers
// xdg_activation_v1 or nothing, and answers a token's commit with "token-1" or never.
struct FakeCompositor {
    bool offers, answers;
    std::string appId;
    wl_display* server = wl_display_create();
    wl_display* client = nullptr;
    std::atomic<bool> stop{false};
    std::thread thread;

    static FakeCompositor& of(wl_resource* r) {
        return *static_cast<FakeCompositor*>(wl_resource_get_user_data(r));
    }
    static void destroy(wl_client*, wl_resource* r) { wl_resource_destroy(r); }

    FakeCompositor(bool offers, bool answers) : offers(offers), answers(answers) {
        int ends[2];
        socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends);
        wl_client_create(server, ends[0]);
        client = wl_display_connect_to_fd(ends[1]);
        static const struct xdg_activation_token_v1_interface token {
            [](wl_client*, wl_resource*, uint32_t, wl_resource*) {},
                [](wl_client*, wl_resource* r, const char* id) { of(r).appId = id; },
                [](wl_client*, wl_resource*, wl_resource*) {},
                [](wl_client*, wl_resource* r) {
                    if (of(r).answers)
                        xdg_activation_token_v1_send_done(r, "token-1");
                },
                destroy
        };
        static const struct xdg_activation_v1_interface activation {
            destroy,
                [](wl_client* c, wl_resource* r, uint32_t id) {
                    wl_resource* made =
                        wl_resource_create(c, &xdg_activation_token_v1_interface, 1, id);
                    wl_resource_set_implementation(made, &token, &of(r), nullptr);
                },
                [](wl_client*, wl_resource*, const char*, wl_resource*) {}
        };
        if (offers)
            wl_global_create(server, &xdg_activation_v1_interface, 1, this,
                             [](wl_client* c, void* self, uint32_t version, uint32_t id) {
                                 wl_resource* made = wl_resource_create(
                                     c, &xdg_activation_v1_interface, version, id);
                                 wl_resource_set_implementation(made, &activation, self, nullptr);
                             });
        thread = std::thread([this] {
            while (!stop) {
                wl_event_loop_dispatch(wl_display_get_event_loop(server), 10);
                wl_display_flush_clients(server);
            }
        });
    }
    ~FakeCompositor() {
        wl_display_disconnect(client);
        wl_display_destroy_clients(server);
        wl_display_destroy(server);
    }
    void finish() {
        stop = true;
        thread.join();
    }
};

} // namespace

TEST(ActivationToken, GivenWhereTheCompositorGrantsOneAndNoneElse) {
    const struct {
        bool offers, answers;
        std::optional<std::string> token;
    } cases[] = {
        {true, true, "token-1"}, {false, false, std::nullopt}, {true, false, std::nullopt}};
    for (const auto& each : cases) {
        FakeCompositor compositor(each.offers, each.answers);
        const auto token = requestActivationToken(compositor.client, {.appId = "pathwicks"},
                                                  std::chrono::milliseconds(200));
        compositor.finish();
        EXPECT_EQ(token, each.token) << each.offers << each.answers;
        EXPECT_EQ(compositor.appId, each.offers ? "pathwicks" : "");
        // The connection is still usable by whoever else reads it.
        EXPECT_EQ(wl_display_get_error(compositor.client), 0);
    }
    EXPECT_EQ(requestActivationToken(nullptr, {}), std::nullopt);
}
