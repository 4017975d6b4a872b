// KWin's output devices as read, with nothing applied: enough for identity.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/kwin/kwin_display_services.h"

namespace seam {

class DevicesOnly : public KwinOutputState {
  public:
    explicit DevicesOnly(std::vector<KwinOutput> outputs) : outputs_(std::move(outputs)) {}
    const std::vector<KwinOutput>& outputs() const override { return outputs_; }
    const std::string& primary() const override { return primary_; }
    KwinApplyOutcome apply(const std::vector<KwinPlacement>&) override {
        return KwinApplyOutcome::failed;
    }

  private:
    std::vector<KwinOutput> outputs_;
    std::string primary_ = "DUMMY0";
};

// As KWin describes the virtual server's outputs; the EDID is the monitor's.
inline KwinOutput device(std::uint32_t key, const std::string& name, int x,
                         std::vector<std::uint8_t> edid = {}) {
    return {.key = key,
            .name = name,
            .make = "Samsung Electric Company",
            .model = "SAMSUNG",
            .eisaId = "SAM",
            .edid = std::move(edid),
            .enabled = true,
            .modes = {{.key = key + 1, .width = x ? 1280 : 1710, .height = x ? 960 : 1112}},
            .currentMode = key + 1,
            .x = x};
}

}  // namespace seam
