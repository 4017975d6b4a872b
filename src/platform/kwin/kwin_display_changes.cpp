#include "platform/kwin/kwin_display_changes.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include "base/log.h"
#include "platform/kwin/kwin_output_client.h"

namespace seam {

KwinDisplayChanges::KwinDisplayChanges(KwinOutputClient& client) : client_(client) {}

KwinDisplayChanges::~KwinDisplayChanges() {
    client_.onChange(nullptr);
}

int KwinDisplayChanges::registerCallback(Callback callback) {
    if (!QCoreApplication::instance()) return registrationFailed;
    client_.refresh();
    last_ = layoutOf(client_.outputs(), client_.primary()).snapshot();
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

void KwinDisplayChanges::compare() {
    DisplaySnapshot now = layoutOf(client_.outputs(), client_.primary()).snapshot();
    const std::vector<DisplayChange> changes = diffSnapshots(last_, now);
    last_ = std::move(now);
    for (const DisplayChange& c : changes)
        if (callback_) callback_(c.display, c.flags);
}

}  // namespace seam
