// Where monitor identity comes from beyond the display services: the window
// server's own numbers for a display, its per-display info dictionary, and the
// system's registry of display connectors. Values of the dictionary and the
// registry keep their kinds (text, number, bytes as JSON binary, dictionary), so
// the identity logic can refuse a property of the wrong kind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace seam {

// What the window server itself reports about one display.
struct DisplayHardware {
    std::uint32_t vendor = 0;
    std::uint32_t model = 0;
    std::uint32_t serial = 0;  // unfiltered
    std::uint32_t unit = 0;
    std::optional<std::string> uuid;  // upper-case 8-4-4-4-12
    std::optional<std::string> name;  // the name shown to the user
    std::pair<int, int> pixels;
};

// One display service of the registry.
struct RegistryEntry {
    std::optional<std::string> path;                       // when the path could be read
    nlohmann::json properties = nlohmann::json::object();  // the entry's own
    nlohmann::json below = nlohmann::json::object();       // found searching below it
};

class DisplayIdentitySource {
  public:
    virtual ~DisplayIdentitySource() = default;

    virtual DisplayHardware hardware(std::uint32_t id) = 0;
    // Whether the info dictionary can be had at all; decided once, on first use.
    virtual bool infoAvailable() = 0;
    // The info dictionary of a display (text keys); nothing when unavailable.
    virtual std::optional<nlohmann::json> info(std::uint32_t id) = 0;
    // The registry entry at a path; nothing when there is none.
    virtual std::optional<RegistryEntry> registryEntry(const std::string& path) = 0;
    // Every display service of the registry, in registry order.
    virtual std::vector<RegistryEntry> registryServices() = 0;
};

// "SEAMWRIGHT_NO_COREDISPLAY" set to "1" switches the info dictionary off, so the
// registry scan can be tried on a machine that has the dictionary.
inline constexpr const char* kNoInfoDictionaryVariable = "SEAMWRIGHT_NO_COREDISPLAY";
inline bool infoSwitchedOff(const char* value) {
    return value && std::string_view(value) == "1";
}

}  // namespace seam
