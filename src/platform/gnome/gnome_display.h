// Displays on GNOME, in a Wayland or an X11 session: the compositor keeps the
// arrangement (and re-applies its own record of it on every hot-plug), so it is
// read and changed through the compositor's display configuration service.
// Global display space is the compositor's layout shifted so the main (primary)
// display is at (0,0).
#pragma once

#include <memory>
#include <string>

#include "platform/display_changes.h"
#include "platform/display_identity.h"
#include "platform/display_services.h"
#include "platform/drm_connectors.h"
#include "platform/gnome/mutter_identity.h"
#include "platform/gnome/mutter_source.h"
#include "platform/gnome/mutter_state.h"

namespace seam {

class GnomeDisplayServices : public DisplayServices {
  public:
    GnomeDisplayServices(std::shared_ptr<MutterConfigSource> config,
                         DrmConnectors registry = DrmConnectors());
    ~GnomeDisplayServices() override;

    std::vector<Disp> activeDisplays() override;
    std::vector<std::uint32_t> onlineDisplays() override;
    std::uint32_t mainDisplay() override;
    bool isBuiltin(std::uint32_t id) override;
    std::optional<std::uint32_t> mirrors(std::uint32_t id) override;
    // Sent as one persistent configuration, so the compositor keeps it.
    bool configure(const std::vector<DisplayMove>& moves) override;
    Rect toToolkit(const Rect& global) override;
    std::optional<std::string> outputName(std::uint32_t id) override;

    // The layout as last read, read again once the compositor has announced a
    // change; nullptr when it cannot be asked.
    const MutterLayout* layout();
    void forget() { fresh_ = false; }
    const DrmConnectors& registry() const { return registry_; }
    // The monitor's EDID from its DRM connector, else the compositor's
    // description of it: what tells one monitor on a connector from another.
    std::vector<std::uint8_t> monitorBytes(const MutterMonitor& monitor) const;
    std::shared_ptr<MutterConfigSource> config() const { return config_; }

  private:
    std::shared_ptr<MutterConfigSource> config_;
    DrmConnectors registry_;
    ConnectorIds ids_;
    std::optional<MutterState> state_;
    MutterLayout layout_;
    bool fresh_ = false;
    std::unique_ptr<ChangeWatch> watch_;
};

class GnomeDisplayChanges : public DisplayChangeSource {
  public:
    static constexpr int registrationFailed = 1000;

    explicit GnomeDisplayChanges(GnomeDisplayServices& services) : services_(services) {}
    ~GnomeDisplayChanges() override;

    // Fails when changes cannot be watched (no Qt application to receive them).
    int registerCallback(Callback callback) override;
    // Reads the displays again and reports what differs from the last reading.
    void dispatch();

  private:
    bool read(DisplaySnapshot& out);

    GnomeDisplayServices& services_;
    DisplaySnapshot last_;
    Callback callback_;
    std::unique_ptr<ChangeWatch> watch_;
};

class GnomeDisplayIdentity : public DisplayIdentitySource {
  public:
    explicit GnomeDisplayIdentity(GnomeDisplayServices& services) : services_(services) {}

    // The EDID's numbers when the DRM connector is matched, else the compositor's;
    // unit = the monitor's index; UUID from the EDID (or the description) and the
    // connector; name = the EDID monitor name, else the compositor's, else the connector.
    DisplayHardware hardware(std::uint32_t id) override;
    bool infoAvailable() override;
    // "IODisplayEDID" and "IODisplayLocation" of the matched connector; without
    // one, a location standing for the compositor's own description.
    std::optional<nlohmann::json> info(std::uint32_t id) override;
    std::optional<RegistryEntry> registryEntry(const std::string& path) override;
    std::vector<RegistryEntry> registryServices() override;

  private:
    const MutterMonitor* monitor(std::uint32_t id, std::size_t* index = nullptr);

    GnomeDisplayServices& services_;
    std::optional<bool> infoAvailable_;
};

}  // namespace seam
