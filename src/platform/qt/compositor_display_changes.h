// Display reconfiguration events from a Wayland output client: every completed
// change is compared with the previous state, and each display that differs is
// reported with its flags. Client needs fd(), readable(), refresh() and
// onChange(handler); snapshot reads its current state.
#pragma once

#include <QCoreApplication>
#include <QSocketNotifier>
#include <functional>
#include <memory>

#include "base/log.h"
#include "platform/display_changes.h"

namespace seam {

template <class Client>
class CompositorDisplayChanges : public DisplayChangeSource {
  public:
    static constexpr int registrationFailed = 1000;

    CompositorDisplayChanges(Client& client, std::function<DisplaySnapshot(Client&)> snapshot)
        : client_(client), snapshot_(std::move(snapshot)) {}
    ~CompositorDisplayChanges() override { client_.onChange(nullptr); }
    CompositorDisplayChanges(const CompositorDisplayChanges&) = delete;
    CompositorDisplayChanges& operator=(const CompositorDisplayChanges&) = delete;

    // Reads the connection on the Qt event loop; fails without a Qt application.
    int registerCallback(Callback callback) override {
        if (!QCoreApplication::instance()) return registrationFailed;
        client_.refresh();
        last_ = snapshot_(client_);
        callback_ = std::move(callback);
        client_.onChange([this] { compare(); });
        notifier_ = std::make_unique<QSocketNotifier>(client_.fd(), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
            if (client_.readable()) return;
            log("display changes: the Wayland connection was lost");
            notifier_->setEnabled(false);
        });
        return 0;
    }

  private:
    void compare() {
        DisplaySnapshot now = snapshot_(client_);
        const std::vector<DisplayChange> changes = diffSnapshots(last_, now);
        last_ = std::move(now);
        for (const DisplayChange& c : changes)
            if (callback_) callback_(c.display, c.flags);
    }

    Client& client_;
    std::function<DisplaySnapshot(Client&)> snapshot_;
    DisplaySnapshot last_;
    Callback callback_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace seam
