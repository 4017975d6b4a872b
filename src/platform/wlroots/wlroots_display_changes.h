// Display reconfiguration events on a wlroots compositor: every completed
// change of the heads (or of what the compositor shows) is compared with the
// previous state, and each display that differs is reported with its flags.
#pragma once

#include <memory>

#include "platform/display_changes.h"

class QSocketNotifier;

namespace seam {

class WlrOutputClient;

class WlrootsDisplayChanges : public DisplayChangeSource {
  public:
    static constexpr int registrationFailed = 1000;

    explicit WlrootsDisplayChanges(WlrOutputClient& client);
    ~WlrootsDisplayChanges() override;
    WlrootsDisplayChanges(const WlrootsDisplayChanges&) = delete;
    WlrootsDisplayChanges& operator=(const WlrootsDisplayChanges&) = delete;

    // Reads the connection on the Qt event loop; fails without a Qt application.
    int registerCallback(Callback callback) override;

  private:
    void compare();

    WlrOutputClient& client_;
    DisplaySnapshot last_;
    Callback callback_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace seam
