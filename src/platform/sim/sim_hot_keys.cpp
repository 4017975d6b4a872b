#include "platform/sim/sim_hot_keys.h"

#include <optional>

namespace seam {

HotKeyService::Result SimHotKeys::registerKey(std::uint32_t keyCode, std::uint32_t mods,
                                              std::uint32_t id) {
    if (taken.count({keyCode, mods})) return {std::nullopt, refusalStatus};
    grabs_.acquire({keyCode, mods});
    const Handle h = next_++;
    live_[h] = {keyCode, mods, id};
    return {h, 0};
}

void SimHotKeys::unregisterKey(Handle handle) {
    auto it = live_.find(handle);
    if (it == live_.end()) return;
    grabs_.release({it->second.keyCode, it->second.mods});
    live_.erase(it);
}

bool SimHotKeys::press(std::uint32_t keyCode, std::uint32_t mods) {
    if (!grabs_.held({keyCode, mods})) return false;
    std::optional<std::uint32_t> id;
    for (const auto& [h, r] : live_)
        if (r.keyCode == keyCode && r.mods == mods && (!id || r.id < *id)) id = r.id;
    if (id && handler_) handler_(*id);
    return true;
}

}  // namespace seam
