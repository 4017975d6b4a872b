// Wakes from sleep as logind announces them on the system bus: its
// PrepareForSleep signal, true before sleeping and false after waking.
#pragma once

#include <QDBusConnection>
#include <QObject>

#include "platform/wake.h"

namespace seam {

class LogindWake : public QObject, public WakeSource {
    Q_OBJECT
  public:
    explicit LogindWake(QDBusConnection bus = QDBusConnection::systemBus());
    // False without a bus (a container, a minimal session): no wakes, no error.
    bool start(std::function<void()> onWake) override;

  private slots:
    void prepareForSleep(bool sleeping);

  private:
    QDBusConnection bus_;
    std::function<void()> onWake_;
};

}  // namespace seam
