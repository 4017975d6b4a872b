#include "layouts/display_probe.h"

#include <algorithm>
#include <cmath>

namespace seam {

namespace {
using nlohmann::json;

const json* member(const json& object, const char* key) {
    if (!object.is_object()) return nullptr;
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::optional<std::string> textMember(const json& object, const char* key) {
    const json* v = member(object, key);
    if (!v || !v->is_string()) return std::nullopt;
    return v->get<std::string>();
}

// A registry number as an unsigned 32-bit value, wrapping as the registry's own
// accessor does.
std::optional<std::uint32_t> numberMember(const json& object, const char* key) {
    const json* v = member(object, key);
    if (!v) return std::nullopt;
    if (v->is_number_unsigned()) return static_cast<std::uint32_t>(v->get<std::uint64_t>());
    if (v->is_number_integer()) return static_cast<std::uint32_t>(v->get<std::int64_t>());
    if (v->is_number_float()) {
        const double d = v->get<double>();
        if (!std::isfinite(d) || std::fabs(d) >= 9.2e18) return std::nullopt;
        return static_cast<std::uint32_t>(static_cast<std::int64_t>(d));
    }
    return std::nullopt;
}

// The EDID under "IODisplayEDID" when that key exists, else "IODisplayEDIDOriginal";
// only a data value counts.
std::optional<EDIDInfo> edidMember(const json& object) {
    const json* v = member(object, "IODisplayEDID");
    if (!v) v = member(object, "IODisplayEDIDOriginal");
    if (!v || !v->is_binary()) return std::nullopt;
    return parseEDID(v->get_binary());
}

void readEntry(DisplayProbe& probe, const RegistryEntry& entry) {
    if (const json* attributes = member(entry.properties, "DisplayAttributes")) {
        const json* product = member(*attributes, "ProductAttributes");
        if (product && product->is_object()) {
            probe.productAttributes = *product;
            probe.ioAlnum = textMember(*product, "AlphanumericSerialNumber");
            probe.ioSerialNumber = numberMember(*product, "SerialNumber");
        }
    }
    probe.edidUUID = textMember(entry.properties, "EDID UUID");
    if (!probe.edid) probe.edid = edidMember(entry.below);
}

std::string serialKey(const DisplayProbe& p) {
    if (auto s = usableSerialString(p.ioAlnum)) return *s;
    if (auto s = usableSerialString(p.edid ? p.edid->alnum : std::nullopt)) return *s;
    return {};
}

void scanRegistry(DisplayProbe& probe, DisplayIdentitySource& source) {
    std::vector<DisplayProbe> matches;
    for (const RegistryEntry& service : source.registryServices()) {
        DisplayProbe c;
        readEntry(c, service);
        if (c.productAttributes) {
            c.vendor = numberMember(*c.productAttributes, "LegacyManufacturerID").value_or(0);
            c.model = numberMember(*c.productAttributes, "ProductID").value_or(0);
        } else if (c.edid) {
            c.vendor = c.edid->vendor;
            c.model = c.edid->product;
            c.ioSerialNumber = c.edid->serial;
        }
        c.ioPath = service.path;
        if (c.vendor == 0) continue;
        if (c.vendor == probe.vendor && c.model == probe.model &&
            (!c.ioSerialNumber || *c.ioSerialNumber == probe.cgSerial))
            matches.push_back(std::move(c));
    }
    if (matches.empty()) return;
    const std::string key = serialKey(matches.front());
    // Several different monitors of one model: guessing could swap them.
    if (!std::all_of(matches.begin(), matches.end(),
                     [&](const DisplayProbe& m) { return serialKey(m) == key; }))
        return;
    DisplayProbe& first = matches.front();
    probe.ioPath = first.ioPath;
    probe.productAttributes = first.productAttributes;
    probe.ioAlnum = first.ioAlnum;
    probe.ioSerialNumber = first.ioSerialNumber;
    probe.edidUUID = first.edidUUID;
    if (!probe.edid) probe.edid = first.edid;
    probe.ioSource = "scan";
}
}  // namespace

DisplayIdent DisplayProbe::ident() const {
    DisplayIdent out{.vendor = vendor, .model = model, .builtin = builtin};
    out.serialNumber = usableSerialNumber(cgSerial);
    if (!out.serialNumber && ioSerialNumber) out.serialNumber = usableSerialNumber(*ioSerialNumber);
    if (!out.serialNumber && edid) out.serialNumber = usableSerialNumber(edid->serial);
    out.serialString = usableSerialString(ioAlnum);
    if (!out.serialString && edid) out.serialString = usableSerialString(edid->alnum);
    return out;
}

DisplayProbe probeDisplay(std::uint32_t id, DisplayServices& services,
                          DisplayIdentitySource& source) {
    const DisplayHardware hw = source.hardware(id);
    DisplayProbe p{.id = id,
                   .vendor = hw.vendor,
                   .model = hw.model,
                   .cgSerial = hw.serial,
                   .unit = hw.unit,
                   .builtin = services.isBuiltin(id),
                   .isMain = services.mainDisplay() == id,
                   .mirrorOf = services.mirrors(id).value_or(0),
                   .uuid = hw.uuid,
                   .name = hw.name,
                   .pixels = hw.pixels};
    for (const Disp& d : services.activeDisplays())
        if (d.id == id) p.frame = d.f;

    if (source.infoAvailable()) {
        if (auto info = source.info(id)) {
            p.ioPath = textMember(*info, "IODisplayLocation");
            p.edid = edidMember(*info);
        }
    }
    if (p.ioPath) {
        if (auto entry = source.registryEntry(*p.ioPath)) {
            readEntry(p, *entry);
            p.ioSource = "location";
            return p;
        }
    }
    scanRegistry(p, source);
    return p;
}

}  // namespace seam
