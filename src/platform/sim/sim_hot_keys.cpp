#include "platform/sim/sim_hot_keys.h"

namespace seam {

HotKeyService::Result SimHotKeys::registerKey(std::uint32_t keyCode, std::uint32_t mods,
                                              std::uint32_t id) {
    if (taken.count({keyCode, mods})) return {std::nullopt, refusalStatus};
    const Handle h = next_++;
    live_[h] = {keyCode, mods, id};
    return {h, 0};
}

void SimHotKeys::unregisterKey(Handle handle) { live_.erase(handle); }

bool SimHotKeys::press(std::uint32_t keyCode, std::uint32_t mods) {
    for (const auto& [h, r] : live_) {
        if (r.keyCode == keyCode && r.mods == mods) {
            if (handler_) handler_(r.id);
            return true;
        }
    }
    return false;
}

}  // namespace seam
