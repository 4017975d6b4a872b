#include "support/session_bus.h"

#include <signal.h>

#include <sstream>

#include "support/command.h"

namespace seam::testing {

SessionBus::SessionBus() {
    // The daemon forks away after printing its address and process id.
    const CommandRun run =
        runCommand("dbus-daemon --session --fork --print-address=1 --print-pid=1 </dev/null");
    std::istringstream lines(run.out);
    long pid = 0;
    if (run.exitCode != 0 || !std::getline(lines, address_) || !(lines >> pid)) {
        address_.clear();
        return;
    }
    pid_ = static_cast<pid_t>(pid);
}

SessionBus::~SessionBus() {
    if (pid_ > 0) ::kill(pid_, SIGTERM);
}

}  // namespace seam::testing
