#include "platform/x11/x11_display_identity.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdlib>
#include <vector>

#include "layouts/edid_info.h"
#include "platform/x11/output_uuid.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_display_services.h"
#include "platform/x11/x11_error_trap.h"
#include "platform/x11/x11_screen_state.h"

namespace seam {

namespace {
// EDIDs with every extension block fit well within this (in 32-bit units).
constexpr long kMaxPropertyLongs = 8192;

struct PropertyValue {
    int format = 0;
    std::vector<std::uint8_t> bytes;  // format 8
    std::vector<long> numbers;        // format 32, as Xlib hands them out
};

std::optional<PropertyValue> outputProperty(Display* d, RROutput output, const char* name) {
    const Atom atom = XInternAtom(d, name, True);
    if (atom == None) return std::nullopt;  // no client ever made such a property
    // The output may have gone since the snapshot.
    X11ErrorTrap trap(d);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int status = XRRGetOutputProperty(d, output, atom, 0, kMaxPropertyLongs, False, False,
                                            AnyPropertyType, &type, &format, &count, &after, &data);
    const bool failed = trap.failed() || status != Success;
    std::optional<PropertyValue> out;
    if (!failed && type != None && data) {
        out = PropertyValue{.format = format};
        if (format == 8) {
            out->bytes.assign(data, data + count);
        } else if (format == 32) {
            const long* longs = reinterpret_cast<const long*>(data);
            out->numbers.assign(longs, longs + count);
        }
    }
    if (data) XFree(data);
    return out;
}

}  // namespace

std::vector<std::uint8_t> edidProperty(Display* d, unsigned long output) {
    auto v = outputProperty(d, output, "EDID");
    return v && v->format == 8 ? v->bytes : std::vector<std::uint8_t>{};
}

DisplayHardware X11DisplayIdentity::hardware(std::uint32_t id) {
    DisplayHardware hw;
    const ScreenState* s = services_.screenState();
    if (!s) return hw;
    const OutputState* output = nullptr;
    for (size_t i = 0; i < s->outputs.size() && !output; ++i) {
        if (s->outputs[i].id != id) continue;
        output = &s->outputs[i];
        hw.unit = std::uint32_t(i);
    }
    if (!output) return hw;
    if (auto r = s->rootRect(id)) hw.pixels = {int(r->width), int(r->height)};

    const auto edid = edidProperty(services_.connection()->display(), id);
    const auto info = parseEDID(edid);
    if (info) {
        hw.vendor = info->vendor;
        hw.model = info->product;
        hw.serial = info->serial;
    }
    hw.uuid = outputUUID(edid, output->name);
    hw.name = info && info->name && !info->name->empty() ? *info->name : output->name;
    return hw;
}

bool X11DisplayIdentity::infoAvailable() {
    if (!infoAvailable_) infoAvailable_ = !infoSwitchedOff(std::getenv(kNoInfoDictionaryVariable));
    return *infoAvailable_;
}

std::optional<nlohmann::json> X11DisplayIdentity::info(std::uint32_t id) {
    if (!infoAvailable()) return std::nullopt;
    Display* d = services_.connection()->display();
    nlohmann::json dict = nlohmann::json::object();
    auto edid = edidProperty(d, id);
    if (!edid.empty()) dict["IODisplayEDID"] = nlohmann::json::binary(std::move(edid));
    // Set by the kernel mode-setting drivers; the dummy driver has none.
    if (auto connector = outputProperty(d, id, "CONNECTOR_ID");
        connector && connector->format == 32 && connector->numbers.size() == 1) {
        if (auto path = registry_.pathOfConnector(std::uint32_t(connector->numbers[0])))
            dict["IODisplayLocation"] = *path;
    }
    return dict;
}

}  // namespace seam
