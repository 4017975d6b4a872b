// Which monitor a compositor output is: the raw EDID of its DRM connector when
// that can be matched, so the identity is the one the X11 backend reads; else
// the compositor's vendor, product and serial texts mapped onto the same numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/display_identity.h"
#include "platform/gnome/mutter_state.h"

namespace seam {

// The packed manufacturer number of three PNP letters; 0 when they are not.
std::uint32_t pnpNumber(const std::string& letters);

// The connector folder (under the DRM root) showing this output's monitor, and
// its EDID. The kernel calls HDMI type A "HDMI-A" where the compositor says "HDMI".
struct DrmMatch {
    std::string path;
    std::vector<std::uint8_t> edid;
};
std::optional<DrmMatch> matchDrmConnector(const MutterMonitor& monitor,
                                          const std::vector<RegistryEntry>& connectors);

// The numbers the compositor's texts stand for: vendor from the letters, the
// product code and serial number where it writes them in hexadecimal.
struct MutterNumbers {
    std::uint32_t vendor = 0;
    std::uint32_t model = 0;
    std::uint32_t serial = 0;
    std::optional<std::string> serialText;  // a serial that is not a number
};
MutterNumbers numbersOf(const MutterMonitor& monitor);

// Stands in for the EDID where none was matched: differs when the compositor's
// description of the monitor differs.
std::vector<std::uint8_t> descriptionBytes(const MutterMonitor& monitor);

// A registry entry holding the compositor's numbers the way a display service
// holds its product attributes.
RegistryEntry attributesEntry(const std::string& path, const MutterNumbers& numbers);

}  // namespace seam
