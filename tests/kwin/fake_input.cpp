#include "fake_input.h"

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstring>

#include "fake-input-client-protocol.h"

namespace seam::testing {

namespace {
void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t version) {
    auto** input = static_cast<org_kde_kwin_fake_input**>(data);
    // Keys came with version 4, absolute motion with 3.
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        *input = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
void globalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener kListener = {global, globalRemove};
}  // namespace

std::unique_ptr<FakeInput> FakeInput::connect(const std::string& socket) {
    std::unique_ptr<FakeInput> f(new FakeInput);
    f->display_ = wl_display_connect(socket.c_str());
    if (!f->display_) return nullptr;
    f->registry_ = wl_display_get_registry(f->display_);
    wl_registry_add_listener(f->registry_, &kListener, &f->input_);
    wl_display_roundtrip(f->display_);
    if (!f->input_) return nullptr;
    org_kde_kwin_fake_input_authenticate(f->input_, "seamwright tests", "input of the tests");
    return f->flush() ? std::move(f) : nullptr;
}

FakeInput::~FakeInput() {
    if (input_) org_kde_kwin_fake_input_destroy(input_);
    if (registry_) wl_registry_destroy(registry_);
    if (display_) {
        wl_display_roundtrip(display_);
        wl_display_disconnect(display_);
    }
}

bool FakeInput::flush() {
    return wl_display_roundtrip(display_) >= 0;
}

bool FakeInput::moveTo(double x, double y) {
    org_kde_kwin_fake_input_pointer_motion_absolute(input_, wl_fixed_from_double(x),
                                                    wl_fixed_from_double(y));
    return flush();
}

bool FakeInput::click() {
    org_kde_kwin_fake_input_button(input_, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
    if (!flush()) return false;
    org_kde_kwin_fake_input_button(input_, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
    return flush();
}

bool FakeInput::press(const std::vector<std::uint32_t>& evdevKeys) {
    for (std::uint32_t key : evdevKeys)
        org_kde_kwin_fake_input_keyboard_key(input_, key, WL_KEYBOARD_KEY_STATE_PRESSED);
    for (auto it = evdevKeys.rbegin(); it != evdevKeys.rend(); ++it)
        org_kde_kwin_fake_input_keyboard_key(input_, *it, WL_KEYBOARD_KEY_STATE_RELEASED);
    return flush();
}

bool pressKeys(const std::string& socket, const std::vector<std::uint32_t>& evdevKeys) {
    const std::unique_ptr<FakeInput> input = FakeInput::connect(socket);
    return input && input->press(evdevKeys);
}

}  // namespace seam::testing
