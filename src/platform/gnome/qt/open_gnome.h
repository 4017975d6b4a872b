// The GNOME backend put together over the session bus.
#pragma once

#include <QDBusConnection>

#include <memory>
#include <string>

#include "platform/gnome/gnome_display.h"

namespace seam {

struct GnomeBackend {
    std::unique_ptr<GnomeDisplayServices> services;
    std::unique_ptr<GnomeDisplayChanges> changes;
    std::unique_ptr<GnomeDisplayIdentity> identity;
};

// The backend when the compositor's display configuration service is on the
// session bus; nullptr with the reason in the log otherwise.
std::unique_ptr<GnomeBackend> openGnome(const std::string& drmRoot = DrmConnectors::kDefaultRoot,
                                        const QDBusConnection& bus = QDBusConnection::sessionBus());

}  // namespace seam
