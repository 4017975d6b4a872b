// Reconfiguration events of the in-memory window server: after a test changes
// the server it calls poll(), which reports every display that differs from the
// last poll, each with a begin-configuration event first, as the window server does.
#pragma once

#include <vector>

#include "platform/display_changes.h"
#include "platform/sim/sim_display_server.h"

namespace seam {

class SimDisplayChanges : public DisplayChangeSource {
  public:
    explicit SimDisplayChanges(SimDisplayServer& server);

    int registerCallback(Callback callback) override;
    // What registerCallback answers; anything but 0 registers nothing.
    int registrationStatus = 0;

    // Reports the differences since the last poll (or construction).
    void poll();
    // Delivers one event as it stands.
    void post(std::uint32_t display, std::uint32_t flags);
    // Every event delivered, in order.
    const std::vector<DisplayChange>& delivered() const { return delivered_; }

  private:
    DisplaySnapshot snapshot();

    SimDisplayServer& server_;
    DisplaySnapshot last_;
    Callback callback_;
    std::vector<DisplayChange> delivered_;
};

}  // namespace seam
