// The in-memory window server as a whole platform, each optional service
// present or not as a test wants it.
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/sim/sim_display_changes.h"
#include "platform/sim/sim_display_server.h"
#include "platform/sim/sim_hot_keys.h"
#include "platform/sim/sim_wake.h"

namespace seam {

class SimLoginItem : public LoginItemService {
  public:
    bool enabled() const override { return on_; }
    std::optional<std::string> setEnabled(bool on) override {
        on_ = on;
        return std::nullopt;
    }

  private:
    bool on_ = false;
};

class SimPlatform : public Platform {
  public:
    // has: which of the optional services exist.
    explicit SimPlatform(Abilities has = {}, std::string name = "sim");

    std::string_view name() const override { return name_; }
    DisplayServices& displays() override { return server; }
    DisplayIdentitySource& identity() override { return server; }
    PointerServices& pointer() override { return server; }
    DisplayChangeSource* displayChanges() override { return changes_.get(); }
    PointerFeed* pointerFeed() override { return feed_.get(); }
    HotKeyService* hotKeys() override { return hotKeys_.get(); }
    bool placesWindows() const override { return placesWindows_; }
    bool coversOutputs() const override { return coversOutputs_; }

    // The feed of the simulated pointer: tests move it and press its button.
    class Feed : public PointerFeed {
      public:
        bool start() override { return started = true; }
        bool started = false;
    };

    SimDisplayServer server;
    Feed* feed() { return feed_.get(); }
    SimDisplayChanges* changes() { return changes_.get(); }
    SimHotKeys* simHotKeys() { return hotKeys_.get(); }

  private:
    std::string name_;
    bool placesWindows_ = true;
    bool coversOutputs_ = true;
    std::unique_ptr<SimDisplayChanges> changes_;
    std::unique_ptr<Feed> feed_;
    std::unique_ptr<SimHotKeys> hotKeys_;
};

}  // namespace seam
