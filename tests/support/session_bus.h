// A private session bus for one test: started on construction, stopped on
// destruction, so the programs under test never meet the user's own bus.
#pragma once

#include <sys/types.h>

#include <string>

namespace seam::testing {

class SessionBus {
  public:
    // everyUser: any local user may connect, as a desktop's programs run by
    // a compositor under another user must in the tests.
    explicit SessionBus(bool everyUser = false);
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    bool running() const { return pid_ > 0 && !address_.empty(); }
    // For DBUS_SESSION_BUS_ADDRESS.
    const std::string& address() const { return address_; }

  private:
    std::string address_;
    std::string configDir_;
    pid_t pid_ = -1;
};

}  // namespace seam::testing
