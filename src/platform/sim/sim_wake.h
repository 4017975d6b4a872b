// Wakes from sleep when a test says so.
#pragma once

#include "platform/wake.h"

namespace seam {

class SimWake : public WakeSource {
  public:
    // Whether the platform can tell; false stands for a machine without one.
    bool available = true;

    bool start(std::function<void()> onWake) override {
        if (!available) return false;
        onWake_ = std::move(onWake);
        return true;
    }
    bool started() const { return bool(onWake_); }
    void wake() const {
        if (onWake_) onWake_();
    }

  private:
    std::function<void()> onWake_;
};

}  // namespace seam
