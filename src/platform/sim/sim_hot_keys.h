// An in-memory hot key service: registrations, refusals and key presses.
#pragma once

#include <map>
#include <set>
#include <utility>

#include "platform/hot_keys.h"
#include "platform/key_grab_counts.h"

namespace seam {

class SimHotKeys : public HotKeyService {
  public:
    Result registerKey(std::uint32_t keyCode, std::uint32_t mods, std::uint32_t id) override;
    void unregisterKey(Handle handle) override;
    void setHandler(std::function<void(std::uint32_t)> handler) override { handler_ = handler; }

    // Combinations another program holds: registering them fails with status.
    std::set<std::pair<std::uint32_t, std::uint32_t>> taken;
    int refusalStatus = -9878;
    // Presses a key; true when a grab caught it. Keys given to several
    // registrations run the one with the lowest id, as on the X server.
    bool press(std::uint32_t keyCode, std::uint32_t mods);
    std::size_t registrations() const { return live_.size(); }
    // Whether the window server holds a grab for the combination.
    bool grabbed(std::uint32_t keyCode, std::uint32_t mods) const {
        return grabs_.held({keyCode, mods});
    }

  private:
    struct Reg {
        std::uint32_t keyCode, mods, id;
    };
    std::map<Handle, Reg> live_;
    KeyGrabCounts grabs_;
    Handle next_ = 1;
    std::function<void(std::uint32_t)> handler_;
};

}  // namespace seam
