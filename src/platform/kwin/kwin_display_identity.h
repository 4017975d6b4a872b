// Monitor identity on KWin. The output device carries the monitor's EDID, so
// the monitor gets the same identity as under X11; the output's name is the
// kernel's connector name, which locates its DRM connector. Without an EDID,
// the compositor's maker code, model and serial stand in as the monitor's
// product attributes.
#pragma once

#include <optional>

#include "platform/display_identity.h"
#include "platform/drm_connectors.h"
#include "platform/kwin/kwin_output_state.h"

namespace seam {

// Registry paths of this prefix name an output's compositor-reported attributes.
inline constexpr const char* kKwinOutputPathPrefix = "kwin-output:";

class KwinDisplayIdentity : public DisplayIdentitySource {
  public:
    explicit KwinDisplayIdentity(KwinOutputState& state, DrmConnectors registry = DrmConnectors())
        : state_(state), registry_(std::move(registry)) {}

    DisplayHardware hardware(std::uint32_t id) override;
    bool infoAvailable() override;
    // "IODisplayEDID" when the output has one; "IODisplayLocation" = its DRM
    // connector when there is exactly one of that name, else the output's
    // attributes when it has no EDID.
    std::optional<nlohmann::json> info(std::uint32_t id) override;
    std::optional<RegistryEntry> registryEntry(const std::string& path) override;
    std::vector<RegistryEntry> registryServices() override { return registry_.services(); }

  private:
    const KwinOutput* output(std::uint32_t id, std::uint32_t* unit = nullptr);

    KwinOutputState& state_;
    DrmConnectors registry_;
    std::optional<bool> infoAvailable_;
};

}  // namespace seam
