#include "fake_keys.h"

#include <wayland-client.h>

#include <cstring>

#include "fake-input-client-protocol.h"

namespace seam::testing {

namespace {
struct Globals {
    org_kde_kwin_fake_input* input = nullptr;
};

void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t version) {
    auto* g = static_cast<Globals*>(data);
    // Keys came with version 4.
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        g->input = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
void globalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener kListener = {global, globalRemove};
}  // namespace

bool pressKeys(const std::string& socket, const std::vector<std::uint32_t>& evdevKeys) {
    wl_display* display = wl_display_connect(socket.c_str());
    if (!display) return false;
    Globals g;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kListener, &g);
    wl_display_roundtrip(display);
    const bool offered = g.input != nullptr;
    if (offered) {
        org_kde_kwin_fake_input_authenticate(g.input, "seamwright tests", "hot keys");
        for (std::uint32_t key : evdevKeys)
            org_kde_kwin_fake_input_keyboard_key(g.input, key, WL_KEYBOARD_KEY_STATE_PRESSED);
        for (auto it = evdevKeys.rbegin(); it != evdevKeys.rend(); ++it)
            org_kde_kwin_fake_input_keyboard_key(g.input, *it, WL_KEYBOARD_KEY_STATE_RELEASED);
        wl_display_roundtrip(display);
        org_kde_kwin_fake_input_destroy(g.input);
    }
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offered;
}

}  // namespace seam::testing
