#include "shell/qt/desktop_keys.h"

#include "base/log.h"
#include "shell/qt/portal_shortcuts.h"

namespace seam {

DesktopKeys::DesktopKeys(Parts parts) : parts_(std::move(parts)) {
    if (parts_.platformKeys || parts_.sway) {
        const KeyRoute route =
            chooseKeyRoute({.platformKeys = parts_.platformKeys, .sway = parts_.sway != nullptr});
        settle(route, route == KeyRoute::sway ? std::move(parts_.sway) : nullptr);
        return;
    }
    QDBusConnection bus = parts_.bus.value_or(QDBusConnection::sessionBus());
    if (!bus.isConnected()) {
        std::unique_ptr<CommandKeys> gnome = parts_.gnome ? parts_.gnome() : nullptr;
        const KeyRoute route = chooseKeyRoute({.gnome = gnome != nullptr});
        settle(route, std::move(gnome));
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    PortalShortcuts::probe(bus, [this, alive, bus](bool offered) {
        if (alive.expired()) return;
        std::unique_ptr<CommandKeys> keys;
        if (offered)
            keys = std::make_unique<PortalShortcuts>(bus, parts_.pressed);
        else if (parts_.gnome)
            keys = parts_.gnome();
        const KeyRoute route = chooseKeyRoute({.portal = offered, .gnome = keys != nullptr});
        settle(route, std::move(keys));
    });
}

DesktopKeys::~DesktopKeys() = default;

void DesktopKeys::settle(KeyRoute route, std::unique_ptr<CommandKeys> keys) {
    route_ = route;
    keys_ = std::move(keys);
    log(keyRouteLine(route, parts_.platform));
    // Also clears what an earlier run may have left behind.
    if (keys_) keys_->bind(wanted_);
}

void DesktopKeys::bind(const std::vector<CommandKey>& keys) {
    wanted_ = keys;
    if (keys_) keys_->bind(keys);
}

void DesktopKeys::unbindAll() {
    wanted_.clear();
    if (keys_) keys_->unbindAll();
}

}  // namespace seam
