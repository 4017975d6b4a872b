// The kernel's DRM connectors under /sys/class/drm, standing for the system's
// display registry: each connector folder ("card0-HDMI-A-1") is one display
// service, its "edid" file the EDID found below it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/display_identity.h"

namespace seam {

// A laptop's own panel, by its connector's name.
bool isBuiltinConnector(const std::string& name);

class DrmConnectors {
  public:
    static constexpr const char* kDefaultRoot = "/sys/class/drm";

    // Tests point the root at a folder tree of their own.
    explicit DrmConnectors(std::string root = kDefaultRoot) : root_(std::move(root)) {}

    // Every connector folder under the root, sorted by name.
    std::vector<RegistryEntry> services() const;
    // The connector folder at a path; nothing when it is not one.
    std::optional<RegistryEntry> entry(const std::string& path) const;
    // The connector whose "connector_id" holds this number (the RandR output's
    // CONNECTOR_ID property): the path the info dictionary names.
    std::optional<std::string> pathOfConnector(std::uint32_t connectorId) const;
    // The connector folders of this connector name ("HDMI-A-1"), one per card
    // that has such a connector.
    std::vector<std::string> pathsNamed(const std::string& connector) const;

  private:
    std::vector<std::string> connectorPaths() const;
    std::string root_;
};

}  // namespace seam
