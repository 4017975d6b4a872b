// The compositor's display configuration service as recorded replies: tests set
// the state it reports, read the configurations sent to it and announce changes.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gnome/mutter_source.h"
#include "platform/gnome/mutter_state.h"

namespace seam::testing {

class FakeMutter : public MutterConfigSource {
  public:
    MutterState state;
    std::vector<MutterApply> applied;
    std::string refusal;  // non-empty: apply fails with this text
    int reads = 0;
    bool canWatch = true;  // false: as without an event loop

    std::optional<MutterState> currentState(std::string*) override {
        ++reads;
        return state;
    }
    bool apply(const MutterApply& a, std::string* error) override {
        applied.push_back(a);
        if (!refusal.empty()) {
            if (error) *error = refusal;
            return false;
        }
        return true;
    }
    std::unique_ptr<ChangeWatch> watch(std::function<void()> onChange) override {
        if (!canWatch) return nullptr;
        watchers_[++lastKey_] = std::move(onChange);
        return std::make_unique<Handle>(this, lastKey_);
    }
    // What the compositor does after each change of its configuration.
    void announce() {
        auto now = watchers_;
        for (auto& [key, w] : now) w();
    }
    std::size_t watching() const { return watchers_.size(); }

  private:
    struct Handle : ChangeWatch {
        Handle(FakeMutter* f, int k) : fake(f), key(k) {}
        ~Handle() override { fake->watchers_.erase(key); }
        FakeMutter* fake;
        int key;
    };
    std::map<int, std::function<void()>> watchers_;
    int lastKey_ = 0;
};

// One monitor with its current mode, as the compositor describes it.
inline MutterMonitor monitorOn(const std::string& connector, int width, int height,
                               const std::string& vendor = "SAM",
                               const std::string& product = "0x0819",
                               const std::string& serial = "0x00000000") {
    const std::string mode = std::to_string(width) + "x" + std::to_string(height) + "@60.000";
    return {
        .connector = connector,
        .vendor = vendor,
        .product = product,
        .serial = serial,
        .modes = {{.id = "640x480@60.000", .width = 640, .height = 480, .refresh = 60},
                  {.id = mode, .width = width, .height = height, .refresh = 60, .current = true}}};
}

}  // namespace seam::testing
