// KWin's output devices as read, with nothing applied: enough for identity.
#pragma once

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

}  // namespace seam
