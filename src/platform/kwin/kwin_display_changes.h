// Display reconfiguration events on KWin: every completed change of an output
// device (or of the primary output) is compared with the previous state, and
// each display that differs is reported with its flags.
#pragma once

#include <memory>

#include "platform/display_changes.h"

class QSocketNotifier;

namespace seam {

class KwinOutputClient;

class KwinDisplayChanges : public DisplayChangeSource {
  public:
    static constexpr int registrationFailed = 1000;

    explicit KwinDisplayChanges(KwinOutputClient& client);
    ~KwinDisplayChanges() override;
    KwinDisplayChanges(const KwinDisplayChanges&) = delete;
    KwinDisplayChanges& operator=(const KwinDisplayChanges&) = delete;

    // Reads the connection on the Qt event loop; fails without a Qt application.
    int registerCallback(Callback callback) override;

  private:
    void compare();

    KwinOutputClient& client_;
    DisplaySnapshot last_;
    Callback callback_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace seam
