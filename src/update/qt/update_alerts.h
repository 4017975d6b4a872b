// What the updater shows the user; tests put a recorder in its place.
#pragma once

#include <string>

#include "update/update_feed.h"

class QMessageBox;

namespace seam {

class UpdateAlerts {
  public:
    virtual ~UpdateAlerts() = default;
    virtual void upToDate(const std::string& current) = 0;
    virtual void checkFailed() = 0;
    // True when the user chose to update now.
    virtual bool offer(const update::Entry& entry) = 0;
    // "Check for Updates…" while an update downloads and installs.
    virtual void alreadyInstalling() = 0;
    // Returns once the user dismissed it.
    virtual void installFailed() = 0;
    virtual void openPage(const std::string& url) = 0;
};

// The offer's question, built but not shown. Everything in it is plain text:
// the version and the notes come from the feed.
void fillOffer(QMessageBox& box, const update::Entry& entry);

// Modal message boxes, each after bringing the application to the front.
class QtUpdateAlerts : public UpdateAlerts {
  public:
    void upToDate(const std::string& current) override;
    void checkFailed() override;
    bool offer(const update::Entry& entry) override;
    void alreadyInstalling() override;
    void installFailed() override;
    void openPage(const std::string& url) override;
};

}  // namespace seam
