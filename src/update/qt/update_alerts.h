// What the updater shows the user; tests put a recorder in its place.
#pragma once

#include <string>

#include "update/update_feed.h"

namespace seam {

class UpdateAlerts {
  public:
    virtual ~UpdateAlerts() = default;
    virtual void upToDate(const std::string& current) = 0;
    virtual void checkFailed() = 0;
    // True when the user chose to update now.
    virtual bool offer(const update::Entry& entry) = 0;
    // Returns once the user dismissed it.
    virtual void installFailed() = 0;
    virtual void openPage(const std::string& url) = 0;
};

// Modal message boxes, each after bringing the application to the front.
class QtUpdateAlerts : public UpdateAlerts {
  public:
    void upToDate(const std::string& current) override;
    void checkFailed() override;
    bool offer(const update::Entry& entry) override;
    void installFailed() override;
    void openPage(const std::string& url) override;
};

}  // namespace seam
