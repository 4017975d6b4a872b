#include "platform/kwin/kwin_display_identity.h"

#include <cstdlib>

#include "layouts/edid_info.h"
#include "platform/wlroots/wlroots_display_identity.h"
#include "platform/x11/output_uuid.h"

namespace seam {

namespace {
// The compositor's texts read as wlroots' are: a three-letter maker code and
// hexadecimal numbers are the EDID numbers they came from.
nlohmann::json attributesOf(const KwinOutput& o) {
    return compositorAttributes(WlrHead{
        .make = o.eisaId.empty() ? o.make : o.eisaId, .model = o.model, .serial = o.serial});
}
}  // namespace

const KwinOutput* KwinDisplayIdentity::output(std::uint32_t id, std::uint32_t* unit) {
    state_.refresh();
    const KwinLayout layout = layoutOf(state_.outputs(), state_.primary());
    for (std::size_t i = 0; i < layout.displays.size(); ++i) {
        if (layout.displays[i].id != id) continue;
        if (unit) *unit = std::uint32_t(i);
        for (const KwinOutput& o : state_.outputs())
            if (o.key == layout.displays[i].headKey) return &o;
    }
    return nullptr;
}

DisplayHardware KwinDisplayIdentity::hardware(std::uint32_t id) {
    DisplayHardware hw;
    const KwinOutput* o = output(id, &hw.unit);
    if (!o) return hw;
    if (o->currentMode)
        if (const KwinMode* m = o->mode(*o->currentMode)) hw.pixels = {m->width, m->height};
    const auto info = parseEDID(o->edid);
    if (info) {
        hw.vendor = info->vendor;
        hw.model = info->product;
        hw.serial = info->serial;
    } else {
        const nlohmann::json a = attributesOf(*o);
        hw.vendor = a.value("LegacyManufacturerID", 0u);
        hw.model = a.value("ProductID", 0u);
        hw.serial = a.value("SerialNumber", 0u);
    }
    hw.uuid = outputUUID(o->edid, o->name);
    hw.name = info && info->name && !info->name->empty() ? *info->name : o->name;
    return hw;
}

bool KwinDisplayIdentity::infoAvailable() {
    if (!infoAvailable_) infoAvailable_ = !infoSwitchedOff(std::getenv(kNoInfoDictionaryVariable));
    return *infoAvailable_;
}

std::optional<nlohmann::json> KwinDisplayIdentity::info(std::uint32_t id) {
    if (!infoAvailable()) return std::nullopt;
    const KwinOutput* o = output(id);
    if (!o) return std::nullopt;
    nlohmann::json dict = nlohmann::json::object();
    if (!o->edid.empty()) dict["IODisplayEDID"] = nlohmann::json::binary(o->edid);
    if (const auto paths = registry_.pathsNamed(o->name); paths.size() == 1)
        dict["IODisplayLocation"] = paths.front();
    else if (o->edid.empty())
        dict["IODisplayLocation"] = kKwinOutputPathPrefix + o->name;
    return dict;
}

std::optional<RegistryEntry> KwinDisplayIdentity::registryEntry(const std::string& path) {
    if (path.rfind(kKwinOutputPathPrefix, 0) != 0) return registry_.entry(path);
    const std::string name = path.substr(std::string_view(kKwinOutputPathPrefix).size());
    state_.refresh();
    for (const KwinOutput& o : state_.outputs()) {
        if (o.name != name) continue;
        RegistryEntry e{.path = path};
        e.properties["DisplayAttributes"]["ProductAttributes"] = attributesOf(o);
        return e;
    }
    return std::nullopt;
}

}  // namespace seam
