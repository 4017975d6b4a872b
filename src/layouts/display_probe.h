// Everything the program learns about one attached display. Filled by the
// platform; the identity drawn from it is pure logic.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

#include "geometry/geometry.h"
#include "layouts/display_ident.h"
#include "layouts/edid_info.h"
#include "platform/display_identity.h"
#include "platform/display_services.h"

namespace seam {

struct DisplayProbe {
    std::uint32_t id = 0;
    std::uint32_t vendor = 0;
    std::uint32_t model = 0;
    std::uint32_t cgSerial = 0;
    std::uint32_t unit = 0;
    bool builtin = false;
    bool isMain = false;
    std::uint32_t mirrorOf = 0;  // 0 = mirrors nothing
    std::optional<std::string> uuid;
    std::optional<std::string> name;
    Rect frame;
    std::pair<int, int> pixels;
    std::optional<std::string> ioPath;
    std::string ioSource = "none";  // "none", "location" or "scan"
    std::optional<std::string> edidUUID;
    std::optional<nlohmann::json> productAttributes;  // an object with text keys
    std::optional<std::uint32_t> ioSerialNumber;
    std::optional<std::string> ioAlnum;
    std::optional<EDIDInfo> edid;

    // Vendor, model and built-in flag come from the window server, not the EDID,
    // so identities stay comparable with those saved before an EDID was readable.
    DisplayIdent ident() const;
};

// Everything known about one display: the window server's numbers, then the info
// dictionary, then the registry entry it names or, failing that, the one registry
// service that fits (several different monitors of one model: none). Never fails
// as a whole; what cannot be read stays absent.
DisplayProbe probeDisplay(std::uint32_t id, DisplayServices& services,
                          DisplayIdentitySource& source);

}  // namespace seam
