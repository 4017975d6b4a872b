#include "platform/gnome/qt/open_gnome.h"

#include "base/log.h"
#include "platform/gnome/qt/mutter_dbus.h"

namespace seam {

std::unique_ptr<GnomeBackend> openGnome(const std::string& drmRoot, const QDBusConnection& bus) {
    if (!bus.isConnected()) {
        log("GNOME display configuration unavailable: no session bus");
        return nullptr;
    }
    auto config = std::make_shared<MutterDisplayConfig>(bus);
    if (!config->present()) {
        log(std::string("GNOME display configuration unavailable: ") + kMutterService +
            " is not on the session bus");
        return nullptr;
    }
    auto backend = std::make_unique<GnomeBackend>();
    backend->services = std::make_unique<GnomeDisplayServices>(config, DrmConnectors(drmRoot));
    backend->changes = std::make_unique<GnomeDisplayChanges>(*backend->services);
    backend->identity = std::make_unique<GnomeDisplayIdentity>(*backend->services);
    return backend;
}

}  // namespace seam
