#include "platform/gnome/mutter_identity.h"

#include <cctype>
#include <charconv>
#include <filesystem>

#include "layouts/edid_info.h"

namespace seam {

std::uint32_t pnpNumber(const std::string& letters) {
    if (letters.size() != 3) return 0;
    std::uint32_t v = 0;
    for (char c : letters) {
        if (c < 'A' || c > 'Z') return 0;
        v = v << 5 | std::uint32_t(c - 64);
    }
    return v;
}

namespace {
// "card1-HDMI-A-2" -> "HDMI-2", the name the compositor gives that connector.
std::string compositorName(const std::string& folder) {
    const auto dash = folder.find('-');
    std::string name = dash == std::string::npos ? folder : folder.substr(dash + 1);
    if (name.rfind("HDMI-A-", 0) == 0) name.erase(4, 2);
    return name;
}

std::optional<std::uint32_t> hexNumber(const std::string& text) {
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return std::nullopt;
    std::uint32_t v = 0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data() + 2, end, v, 16);
    if (r.ec != std::errc() || r.ptr != end) return std::nullopt;
    return v;
}

// A product name stands for a product code no reader can recover: a fixed
// number per name keeps different models apart.
std::uint32_t nameNumber(const std::string& name) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : name) h = (h ^ c) * 16777619u;
    return h & 0xFFFF;
}
}  // namespace

std::optional<DrmMatch> matchDrmConnector(const MutterMonitor& monitor,
                                          const std::vector<RegistryEntry>& connectors) {
    std::optional<DrmMatch> found;
    const std::uint32_t vendor = pnpNumber(monitor.vendor);
    for (const RegistryEntry& e : connectors) {
        if (!e.path) continue;
        const std::string folder = std::filesystem::path(*e.path).filename().string();
        if (compositorName(folder) != monitor.connector) continue;
        auto it = e.below.find("IODisplayEDID");
        if (it == e.below.end() || !it->is_binary()) continue;
        const auto info = parseEDID(it->get_binary());
        // Several cards may each have such a connector: the monitor must be the one
        // the compositor describes.
        if (!info || (vendor && info->vendor != vendor)) continue;
        if (found) return std::nullopt;
        found = DrmMatch{*e.path, it->get_binary()};
    }
    return found;
}

MutterNumbers numbersOf(const MutterMonitor& monitor) {
    MutterNumbers n{.vendor = pnpNumber(monitor.vendor)};
    if (auto code = hexNumber(monitor.product)) {
        n.model = *code;
    } else if (!monitor.product.empty() && monitor.product != "unknown") {
        n.model = nameNumber(monitor.product);
    }
    if (auto serial = hexNumber(monitor.serial)) {
        n.serial = *serial;
    } else if (!monitor.serial.empty() && monitor.serial != "unknown") {
        n.serialText = monitor.serial;
    }
    return n;
}

std::vector<std::uint8_t> descriptionBytes(const MutterMonitor& monitor) {
    const std::string text = monitor.vendor + '\n' + monitor.product + '\n' + monitor.serial;
    return {text.begin(), text.end()};
}

RegistryEntry attributesEntry(const std::string& path, const MutterNumbers& numbers) {
    nlohmann::json product = {{"LegacyManufacturerID", numbers.vendor},
                              {"ProductID", numbers.model}};
    if (numbers.serialText) product["AlphanumericSerialNumber"] = *numbers.serialText;
    RegistryEntry e{.path = path};
    e.properties["DisplayAttributes"] = {{"ProductAttributes", product}};
    return e;
}

}  // namespace seam
