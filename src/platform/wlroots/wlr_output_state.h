// The compositor's outputs as last reported, and the one way to change them:
// a configuration of every head applied at once. The Wayland client is the real
// one; tests put their own behind the display services.
#pragma once

#include <vector>

#include "platform/wayland/output_heads.h"
#include "platform/wlroots/wlr_layout.h"

namespace seam {

enum class WlrApplyOutcome { succeeded, failed, cancelled, lost };

class WlrOutputState {
  public:
    virtual ~WlrOutputState() = default;
    // Takes in what the compositor has sent so far, without waiting.
    virtual void refresh() {}
    virtual const std::vector<WlrHead>& heads() const = 0;
    virtual const std::vector<WlrShownOutput>& shown() const = 0;
    // Applies the settings as one configuration (or only asks whether it would
    // work) and waits for the answer; on success the new state has been taken in.
    virtual WlrApplyOutcome apply(const std::vector<WlrHeadSetting>& settings,
                                  bool testOnly = false) = 0;
};

const char* outcomeText(WlrApplyOutcome outcome);

}  // namespace seam
