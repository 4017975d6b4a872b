// Binds hot key ids to actions: 1 undo, 2 align, 100 + n the n-th saved layout.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "platform/hot_keys.h"
#include "shell/hot_key_spec.h"

namespace seam {

class HotKeyRegistry {
  public:
    static constexpr std::uint32_t undoID = 1;
    static constexpr std::uint32_t alignID = 2;
    static constexpr std::uint32_t firstLayoutID = 100;

    explicit HotKeyRegistry(HotKeyService& service) : service_(service) {}
    HotKeyRegistry(const HotKeyRegistry&) = delete;
    HotKeyRegistry& operator=(const HotKeyRegistry&) = delete;

    // Replaces any earlier action and registration of id. A refused key is
    // logged; its action stays, the key just does not fire.
    void registerHotKey(const HotKeySpec& spec, std::uint32_t id, std::function<void()> action);
    // Also forgets the action.
    void remove(std::uint32_t id);
    // Actions stay, so registering the same ids later works again.
    void unregisterAllHotKeys();
    void installHotKeyHandler();

    void fire(std::uint32_t id) const;
    // A press that reached one of our own windows rather than the grabs (while
    // a window of ours holds the keyboard the server delivers no grabbed key):
    // runs the action registered for these keys, the lowest id when several
    // share them, as a grabbed press would. False when none is registered.
    bool pressed(std::uint32_t keyCode, std::uint32_t mods) const;
    bool registered(std::uint32_t id) const { return refs_.count(id) != 0; }
    bool hasAction(std::uint32_t id) const { return actions_.count(id) != 0; }

  private:
    HotKeyService& service_;
    std::map<std::uint32_t, std::function<void()>> actions_;
    std::map<std::uint32_t, HotKeyService::Handle> refs_;
    std::map<std::uint32_t, std::pair<std::uint32_t, std::uint32_t>> keys_;  // of refs_
};

}  // namespace seam
