#include "platform/qt/logind_wake.h"

namespace seam {

LogindWake::LogindWake(QDBusConnection bus) : bus_(std::move(bus)) {}

bool LogindWake::start(std::function<void()> onWake) {
    if (!bus_.isConnected()) return false;
    onWake_ = std::move(onWake);
    return bus_.connect("org.freedesktop.login1", "/org/freedesktop/login1",
                        "org.freedesktop.login1.Manager", "PrepareForSleep", this,
                        SLOT(prepareForSleep(bool)));
}

void LogindWake::prepareForSleep(bool sleeping) {
    if (!sleeping && onWake_) onWake_();
}

}  // namespace seam
