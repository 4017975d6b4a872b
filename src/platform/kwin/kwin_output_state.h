// KWin's outputs as last reported, and the one way to change them: placements
// applied as one output configuration. The Wayland client is the real one;
// tests put their own behind the display services.
#pragma once

#include <string>
#include <vector>

#include "platform/kwin/kwin_layout.h"
#include "platform/wayland/output_heads.h"

namespace seam {

enum class KwinApplyOutcome { applied, failed, lost };

class KwinOutputState {
  public:
    virtual ~KwinOutputState() = default;
    // Takes in what the compositor has sent so far, without waiting.
    virtual void refresh() {}
    virtual const std::vector<KwinOutput>& outputs() const = 0;
    virtual const std::string& primary() const = 0;
    // Applies the placements as one configuration and waits for the answer; when
    // applied, the new state has been taken in.
    virtual KwinApplyOutcome apply(const std::vector<KwinPlacement>& placements) = 0;
};

const char* outcomeText(KwinApplyOutcome outcome);

}  // namespace seam
