// Clicks and keys injected into Mutter through its remote desktop service, as a
// remote desktop client sends them. The session lasts as long as this object's
// bus connection: Mutter ends it when its client goes.
//
// Absolute motion there needs a screen cast stream, which needs PipeWire; the
// pointer is moved relatively instead, from a corner it is first pushed into.
#pragma once

#include <memory>
#include <string>

#include <QDBusConnection>

#include "support/headless_compositor.h"

namespace seam::testing {

class RemoteInput {
  public:
    // nullptr when no session could be started; the reason in `error`.
    static std::unique_ptr<RemoteInput> start(const std::string& busAddress, std::string& error);
    ~RemoteInput();
    RemoteInput(const RemoteInput&) = delete;
    RemoteInput& operator=(const RemoteInput&) = delete;

    // The pointer onto a point of the layout of two monitors side by side,
    // `first` the left one and `second` the right one; the point's height must
    // be one of the first monitor's.
    bool moveTo(const ShownOutput& first, const ShownOutput& second, double x, double y);
    bool click();
    bool pressKeysym(unsigned keysym);
    const std::string& error() const { return error_; }

  private:
    RemoteInput(QDBusConnection bus, QString connection)
        : bus_(std::move(bus)), connection_(std::move(connection)) {}
    bool call(const char* method, const QList<QVariant>& arguments);

    QDBusConnection bus_;
    QString connection_, session_;
    std::string error_;
};

}  // namespace seam::testing
