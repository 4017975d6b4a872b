// Monitor identity on X11: the numbers come from each output's RandR "EDID"
// property, the info dictionary is the output's RandR properties, and the kernel's
// DRM connectors stand for the system registry.
#pragma once

#include "platform/display_identity.h"
#include "platform/drm_connectors.h"

typedef struct _XDisplay Display;

namespace seam {

class X11DisplayServices;

// The raw bytes of an output's "EDID" property; empty when it has none.
std::vector<std::uint8_t> edidProperty(Display* display, unsigned long output);

class X11DisplayIdentity : public DisplayIdentitySource {
  public:
    explicit X11DisplayIdentity(X11DisplayServices& services,
                                DrmConnectors registry = DrmConnectors())
        : services_(services), registry_(std::move(registry)) {}

    // Vendor, model and serial of the EDID; unit = the output's index; UUID from the
    // EDID bytes and connector name; name = the EDID monitor name, else the connector.
    DisplayHardware hardware(std::uint32_t id) override;
    // False when "SEAMWRIGHT_NO_COREDISPLAY" is "1" at first use.
    bool infoAvailable() override;
    // "IODisplayEDID" = the EDID property; "IODisplayLocation" = the DRM connector
    // whose connector_id is the output's CONNECTOR_ID property.
    std::optional<nlohmann::json> info(std::uint32_t id) override;
    std::optional<RegistryEntry> registryEntry(const std::string& path) override {
        return registry_.entry(path);
    }
    std::vector<RegistryEntry> registryServices() override { return registry_.services(); }

  private:
    X11DisplayServices& services_;
    DrmConnectors registry_;
    std::optional<bool> infoAvailable_;
};

}  // namespace seam
