// Monitor identity on a wlroots compositor. The head's name is the kernel's
// connector name on real hardware, so the connector's EDID gives the monitor the
// same identity as under X11; without one, the compositor's make, model and
// serial stand in as the monitor's product attributes.
#pragma once

#include <nlohmann/json.hpp>

#include "platform/display_identity.h"
#include "platform/drm_connectors.h"
#include "platform/wlroots/wlr_output_state.h"

namespace seam {

// Registry paths of this prefix name a head's compositor-reported attributes.
inline constexpr const char* kHeadPathPrefix = "wayland-head:";

// "LegacyManufacturerID", "ProductID" and "SerialNumber" or
// "AlphanumericSerialNumber" from the compositor's texts: a three-letter maker
// code and hexadecimal numbers are read as the EDID numbers they were made
// from; other texts are hashed into stable numbers.
nlohmann::json compositorAttributes(const WlrHead& head);

// The EDID of the one connector of this name that has a monitor; nothing when
// none or several do.
struct ConnectorEdid {
    std::string path;
    std::vector<std::uint8_t> bytes;
};
std::optional<ConnectorEdid> connectorEdid(const DrmConnectors& registry, const std::string& name);

class WlrootsDisplayIdentity : public DisplayIdentitySource {
  public:
    explicit WlrootsDisplayIdentity(WlrOutputState& state, DrmConnectors registry = DrmConnectors())
        : state_(state), registry_(std::move(registry)) {}

    DisplayHardware hardware(std::uint32_t id) override;
    bool infoAvailable() override;
    // "IODisplayEDID" and "IODisplayLocation" = the connector, when it has the
    // monitor's EDID; otherwise the location names the head's attributes.
    std::optional<nlohmann::json> info(std::uint32_t id) override;
    std::optional<RegistryEntry> registryEntry(const std::string& path) override;
    std::vector<RegistryEntry> registryServices() override { return registry_.services(); }

  private:
    const WlrHead* head(std::uint32_t id, std::uint32_t* unit = nullptr);

    WlrOutputState& state_;
    DrmConnectors registry_;
    std::optional<bool> infoAvailable_;
};

}  // namespace seam
