// Commands from outside over the session bus: the running program's end, which
// holds the well-known name and answers on one object, and the command line's
// end, which asks it.
#pragma once

#include <QDBusVirtualObject>
#include <string>

#include "base/remote_command.h"
#include "shell/command_service.h"

namespace seam {

enum class BusClaim {
    mine,
    taken,        // another process holds the name: that is the running program
    unavailable,  // no session bus, or it refused the name
};
struct ClaimResult {
    BusClaim claim = BusClaim::unavailable;
    std::string reason;
};
// Takes the name unless another process holds it; never queues for it.
ClaimResult claimCommandBus(const BusAddress& address);

// Answers the calls to the address's object while it lives, then gives the name
// back, which also sends any answer still waiting (Quit's) before the process ends.
class CommandBus : public QDBusVirtualObject {
  public:
    CommandBus(BusAddress address, CommandActions actions);
    ~CommandBus() override;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

  private:
    BusAddress address_;
    CommandActions actions_;
    bool registered_ = false;
};

// Asks the program that holds the name and waits for its answer; never starts it.
CallOutcome callRunningProgram(const BusAddress& address, const RemoteCall& call);

}  // namespace seam
