#include "support/session_bus.h"

#include <signal.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/command.h"

namespace seam::testing {

namespace {
// A session bus whose policy lets every local user in.
constexpr const char* kEveryUser = R"(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";
}  // namespace

SessionBus::SessionBus(bool everyUser) {
    std::string config = "--session";
    if (everyUser) {
        char pattern[] = "/tmp/seam-bus.XXXXXX";
        if (!::mkdtemp(pattern)) return;
        configDir_ = pattern;
        std::ofstream(configDir_ + "/bus.conf") << kEveryUser;
        config = "--config-file=" + configDir_ + "/bus.conf";
    }
    // The daemon forks away after printing its address and process id.
    const CommandRun run =
        runCommand("dbus-daemon " + config + " --fork --print-address=1 --print-pid=1 </dev/null");
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
    if (!configDir_.empty()) std::filesystem::remove_all(configDir_);
}

}  // namespace seam::testing
