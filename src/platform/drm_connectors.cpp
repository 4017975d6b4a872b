#include "platform/drm_connectors.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace seam {

namespace fs = std::filesystem;

namespace {
// "card" + digits + "-" + connector name; "card0" itself and "renderD128" are not.
bool isConnectorName(const std::string& name) {
    if (name.rfind("card", 0) != 0) return false;
    size_t i = 4;
    while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i]))) ++i;
    return i > 4 && i + 1 < name.size() && name[i] == '-';
}

bool isConnectorFolder(const fs::path& path) {
    std::error_code ec;
    return isConnectorName(path.filename().string()) && fs::is_directory(path, ec);
}

std::vector<std::uint8_t> fileBytes(const fs::path& path) {
    // sysfs reports a size of 0 for "edid": read to the end instead.
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

RegistryEntry readConnector(const fs::path& path) {
    RegistryEntry e{.path = path.string()};
    // A connector without a monitor has an empty "edid".
    auto edid = fileBytes(path / "edid");
    if (!edid.empty()) e.below["IODisplayEDID"] = nlohmann::json::binary(std::move(edid));
    return e;
}
}  // namespace

bool isBuiltinConnector(const std::string& name) {
    for (const char* prefix : {"eDP", "LVDS", "DSI"})
        if (name.rfind(prefix, 0) == 0) return true;
    return false;
}

std::vector<std::string> DrmConnectors::connectorPaths() const {
    std::vector<std::string> out;
    std::error_code ec;
    for (fs::directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec))
        if (isConnectorFolder(it->path())) out.push_back(it->path().string());
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<RegistryEntry> DrmConnectors::services() const {
    std::vector<RegistryEntry> out;
    for (const std::string& path : connectorPaths()) out.push_back(readConnector(path));
    return out;
}

std::optional<RegistryEntry> DrmConnectors::entry(const std::string& path) const {
    if (!isConnectorFolder(path)) return std::nullopt;
    return readConnector(path);
}

std::optional<std::string> DrmConnectors::pathOfConnector(std::uint32_t connectorId) const {
    for (const std::string& path : connectorPaths()) {
        std::ifstream in(fs::path(path) / "connector_id");
        long long value = -1;
        if (in >> value && value == connectorId) return path;
    }
    return std::nullopt;
}

std::vector<std::string> DrmConnectors::pathsNamed(const std::string& connector) const {
    std::vector<std::string> out;
    for (const std::string& path : connectorPaths()) {
        const std::string folder = fs::path(path).filename().string();
        const auto dash = folder.find('-');
        if (dash != std::string::npos && folder.substr(dash + 1) == connector) out.push_back(path);
    }
    return out;
}

}  // namespace seam
