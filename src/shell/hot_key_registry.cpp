#include "shell/hot_key_registry.h"

#include "base/log.h"

namespace seam {

void HotKeyRegistry::registerHotKey(const HotKeySpec& spec, std::uint32_t id,
                                    std::function<void()> action) {
    actions_[id] = std::move(action);
    if (auto it = refs_.find(id); it != refs_.end()) {
        service_.unregisterKey(it->second);
        refs_.erase(it);
        keys_.erase(id);
    }
    const auto r = service_.registerKey(spec.keyCode, spec.mods, id);
    if (r.handle && r.status == 0) {
        refs_[id] = *r.handle;
        keys_[id] = {spec.keyCode, spec.mods};
        return;
    }
    log("hotkey register failed id=" + std::to_string(id) + " " + spec.display() +
        " err=" + std::to_string(r.status));
}

void HotKeyRegistry::remove(std::uint32_t id) {
    if (auto it = refs_.find(id); it != refs_.end()) {
        service_.unregisterKey(it->second);
        refs_.erase(it);
    }
    keys_.erase(id);
    actions_.erase(id);
}

void HotKeyRegistry::unregisterAllHotKeys() {
    for (const auto& [id, handle] : refs_) service_.unregisterKey(handle);
    refs_.clear();
    keys_.clear();
}

void HotKeyRegistry::installHotKeyHandler() {
    service_.setHandler([this](std::uint32_t id) { fire(id); });
}

void HotKeyRegistry::fire(std::uint32_t id) const {
    auto it = actions_.find(id);
    if (it == actions_.end() || !it->second) return;
    // Copy: the action may re-register keys and replace itself.
    const auto action = it->second;
    action();
}

bool HotKeyRegistry::pressed(std::uint32_t keyCode, std::uint32_t mods) const {
    // keys_ is ordered by id: the first match is the lowest.
    for (const auto& [id, key] : keys_) {
        if (key.first == keyCode && key.second == mods) {
            fire(id);
            return true;
        }
    }
    return false;
}

}  // namespace seam
