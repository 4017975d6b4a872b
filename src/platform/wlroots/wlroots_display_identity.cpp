#include "platform/wlroots/wlroots_display_identity.h"

#include <cctype>
#include <cstdlib>

#include "layouts/edid_info.h"
#include "platform/x11/output_uuid.h"

namespace seam {

namespace {
// What wlroots says when the EDID left a field out.
bool said(const std::string& text) {
    std::string lower;
    for (unsigned char c : text) lower += char(std::tolower(c));
    return !text.empty() && lower != "unknown";
}

std::uint32_t hashed(const std::string& text) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : text) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

std::optional<std::uint32_t> hexNumber(const std::string& text) {
    if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return std::nullopt;
    for (std::size_t i = 2; i < text.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    return std::uint32_t(std::strtoul(text.c_str() + 2, nullptr, 16));
}

std::optional<std::uint32_t> pnpCode(const std::string& text) {
    if (text.size() != 3) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : text) {
        if (c < 'A' || c > 'Z') return std::nullopt;
        v = v << 5 | std::uint32_t(c - 'A' + 1);
    }
    return v;
}
}  // namespace

nlohmann::json compositorAttributes(const WlrHead& head) {
    nlohmann::json out = nlohmann::json::object();
    if (said(head.make))
        out["LegacyManufacturerID"] = pnpCode(head.make).value_or(hashed(head.make));
    if (said(head.model)) out["ProductID"] = hexNumber(head.model).value_or(hashed(head.model));
    if (said(head.serial)) {
        if (auto n = hexNumber(head.serial))
            out["SerialNumber"] = *n;
        else
            out["AlphanumericSerialNumber"] = head.serial;
    }
    return out;
}

std::optional<ConnectorEdid> connectorEdid(const DrmConnectors& registry, const std::string& name) {
    std::optional<ConnectorEdid> found;
    for (const std::string& path : registry.pathsNamed(name)) {
        auto entry = registry.entry(path);
        if (!entry || !entry->below.contains("IODisplayEDID")) continue;
        // Two cards with a monitor on a connector of this name: cannot tell which.
        if (found) return std::nullopt;
        found = ConnectorEdid{path, entry->below["IODisplayEDID"].get_binary()};
    }
    return found;
}

const WlrHead* WlrootsDisplayIdentity::head(std::uint32_t id, std::uint32_t* unit) {
    state_.refresh();
    const WlrLayout layout = layoutOf(state_.heads(), state_.shown());
    for (std::size_t i = 0; i < layout.displays.size(); ++i) {
        if (layout.displays[i].id != id) continue;
        if (unit) *unit = std::uint32_t(i);
        for (const WlrHead& h : state_.heads())
            if (h.key == layout.displays[i].headKey) return &h;
    }
    return nullptr;
}

DisplayHardware WlrootsDisplayIdentity::hardware(std::uint32_t id) {
    DisplayHardware hw;
    const WlrHead* h = head(id, &hw.unit);
    if (!h) return hw;
    if (h->currentMode)
        if (const WlrMode* m = h->mode(*h->currentMode)) hw.pixels = {m->width, m->height};
    for (const WlrShownOutput& s : state_.shown())
        if (s.name == h->name && hw.pixels == std::pair<int, int>{})
            hw.pixels = {s.modeWidth, s.modeHeight};

    const auto edid = connectorEdid(registry_, h->name);
    const auto info = edid ? parseEDID(edid->bytes) : std::nullopt;
    if (info) {
        hw.vendor = info->vendor;
        hw.model = info->product;
        hw.serial = info->serial;
    } else {
        const nlohmann::json a = compositorAttributes(*h);
        hw.vendor = a.value("LegacyManufacturerID", 0u);
        hw.model = a.value("ProductID", 0u);
        hw.serial = a.value("SerialNumber", 0u);
    }
    hw.uuid = outputUUID(edid ? edid->bytes : std::vector<std::uint8_t>{}, h->name);
    hw.name = info && info->name && !info->name->empty() ? *info->name : h->name;
    return hw;
}

bool WlrootsDisplayIdentity::infoAvailable() {
    if (!infoAvailable_) infoAvailable_ = !infoSwitchedOff(std::getenv(kNoInfoDictionaryVariable));
    return *infoAvailable_;
}

std::optional<nlohmann::json> WlrootsDisplayIdentity::info(std::uint32_t id) {
    if (!infoAvailable()) return std::nullopt;
    const WlrHead* h = head(id);
    if (!h) return std::nullopt;
    nlohmann::json dict = nlohmann::json::object();
    if (auto edid = connectorEdid(registry_, h->name)) {
        dict["IODisplayEDID"] = nlohmann::json::binary(std::move(edid->bytes));
        dict["IODisplayLocation"] = edid->path;
    } else {
        dict["IODisplayLocation"] = kHeadPathPrefix + h->name;
    }
    return dict;
}

std::optional<RegistryEntry> WlrootsDisplayIdentity::registryEntry(const std::string& path) {
    if (path.rfind(kHeadPathPrefix, 0) != 0) return registry_.entry(path);
    const std::string name = path.substr(std::string_view(kHeadPathPrefix).size());
    state_.refresh();
    for (const WlrHead& h : state_.heads()) {
        if (h.name != name) continue;
        RegistryEntry e{.path = path};
        e.properties["DisplayAttributes"]["ProductAttributes"] = compositorAttributes(h);
        return e;
    }
    return std::nullopt;
}

}  // namespace seam
