#include "virtual_pointer.h"

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstring>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace seam::testing {

namespace {
void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t) {
    auto** manager = static_cast<zwlr_virtual_pointer_manager_v1**>(data);
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        *manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}
void globalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener kRegistry{global, globalRemove};
}  // namespace

std::unique_ptr<VirtualPointer> VirtualPointer::connect(const std::string& socket) {
    std::unique_ptr<VirtualPointer> vp(new VirtualPointer);
    vp->display_ = wl_display_connect(socket.c_str());
    if (!vp->display_) return nullptr;
    wl_registry* registry = wl_display_get_registry(vp->display_);
    wl_registry_add_listener(registry, &kRegistry, &vp->manager_);
    wl_display_roundtrip(vp->display_);
    wl_registry_destroy(registry);
    if (!vp->manager_) return nullptr;
    vp->pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(vp->manager_, nullptr);
    return wl_display_roundtrip(vp->display_) < 0 ? nullptr : std::move(vp);
}

VirtualPointer::~VirtualPointer() {
    if (pointer_) zwlr_virtual_pointer_v1_destroy(pointer_);
    if (manager_) zwlr_virtual_pointer_manager_v1_destroy(manager_);
    if (display_) {
        wl_display_roundtrip(display_);
        wl_display_disconnect(display_);
    }
}

bool VirtualPointer::moveTo(int x, int y, int left, int top, int width, int height) {
    zwlr_virtual_pointer_v1_motion_absolute(
        pointer_, time_++, static_cast<unsigned>(x - left), static_cast<unsigned>(y - top),
        static_cast<unsigned>(width), static_cast<unsigned>(height));
    zwlr_virtual_pointer_v1_frame(pointer_);
    return wl_display_roundtrip(display_) >= 0;
}

bool VirtualPointer::click() {
    for (auto state : {WL_POINTER_BUTTON_STATE_PRESSED, WL_POINTER_BUTTON_STATE_RELEASED}) {
        zwlr_virtual_pointer_v1_button(pointer_, time_++, BTN_LEFT, state);
        zwlr_virtual_pointer_v1_frame(pointer_);
    }
    return wl_display_roundtrip(display_) >= 0;
}

}  // namespace seam::testing
