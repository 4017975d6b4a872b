#include "kwin_scale.h"

#include <wayland-client.h>

#include <map>
#include <optional>

#include "kde-output-device-v2-client-protocol.h"
#include "kde-output-management-v2-client-protocol.h"

namespace seam::testing {

namespace {
struct Session {
    kde_output_management_v2* management = nullptr;
    std::map<kde_output_device_v2*, std::string> devices;
    std::optional<bool> applied;
};

void geometry(void*, kde_output_device_v2*, int32_t, int32_t, int32_t, int32_t, int32_t,
              const char*, const char*, int32_t) {}
void currentMode(void*, kde_output_device_v2*, kde_output_device_mode_v2*) {}
void mode(void*, kde_output_device_v2*, kde_output_device_mode_v2*) {}
void done(void*, kde_output_device_v2*) {}
void scaleEvent(void*, kde_output_device_v2*, wl_fixed_t) {}
void textEvent(void*, kde_output_device_v2*, const char*) {}
void numberEvent(void*, kde_output_device_v2*, uint32_t) {}
void enabled(void*, kde_output_device_v2*, int32_t) {}
void name(void* data, kde_output_device_v2* device, const char* value) {
    static_cast<Session*>(data)->devices[device] = value ? value : "";
}
const kde_output_device_v2_listener kDevice = {
    geometry,  currentMode, mode,        done,        scaleEvent,  textEvent,   enabled, textEvent,
    textEvent, textEvent,   numberEvent, numberEvent, numberEvent, numberEvent, name};

void global(void* data, wl_registry* registry, uint32_t id, const char* interface, uint32_t) {
    auto* s = static_cast<Session*>(data);
    if (std::string(interface) == kde_output_management_v2_interface.name) {
        s->management = static_cast<kde_output_management_v2*>(
            wl_registry_bind(registry, id, &kde_output_management_v2_interface, 1));
    } else if (std::string(interface) == kde_output_device_v2_interface.name) {
        auto* d = static_cast<kde_output_device_v2*>(
            wl_registry_bind(registry, id, &kde_output_device_v2_interface, 2));
        kde_output_device_v2_add_listener(d, &kDevice, s);
        s->devices[d] = "";
    }
}
void globalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistry = {global, globalRemove};

void applied(void* data, kde_output_configuration_v2*) {
    static_cast<Session*>(data)->applied = true;
}
void failed(void* data, kde_output_configuration_v2*) {
    static_cast<Session*>(data)->applied = false;
}
const kde_output_configuration_v2_listener kConfig = {applied, failed};
}  // namespace

bool setKwinScale(const std::string& socket, const std::string& output, double scale) {
    wl_display* display = wl_display_connect(socket.c_str());
    if (!display) return false;
    Session s;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistry, &s);
    wl_display_roundtrip(display);
    wl_display_roundtrip(display);
    kde_output_device_v2* target = nullptr;
    for (auto& [device, n] : s.devices)
        if (n == output) target = device;
    if (s.management && target) {
        auto* config = kde_output_management_v2_create_configuration(s.management);
        kde_output_configuration_v2_add_listener(config, &kConfig, &s);
        kde_output_configuration_v2_scale(config, target, wl_fixed_from_double(scale));
        kde_output_configuration_v2_apply(config);
        while (!s.applied && wl_display_dispatch(display) >= 0) {
        }
        kde_output_configuration_v2_destroy(config);
    }
    for (auto& [device, n] : s.devices) kde_output_device_v2_destroy(device);
    if (s.management) kde_output_management_v2_destroy(s.management);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return s.applied.value_or(false);
}

}  // namespace seam::testing
