// The machine waking from sleep, as the platform reports it.
#pragma once

#include <functional>

namespace seam {

class WakeSource {
  public:
    virtual ~WakeSource() = default;
    // Calls onWake after every wake from sleep, on the main thread. False when
    // the platform cannot tell: then it never calls, and that is no error.
    virtual bool start(std::function<void()> onWake) = 0;
};

}  // namespace seam
