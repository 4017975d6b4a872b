// A headless compositor with two virtual monitors (1920x1080, then 1280x1024 to
// its right) on a private session bus, with configuration and runtime folders of
// its own. It stops when this object goes, and shortly after the test program
// dies whatever the cause.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

namespace seam::testing {

class HeadlessMutter {
  public:
    // nullptr when it could not be started; the reason in `error`.
    static std::unique_ptr<HeadlessMutter> start(std::string& error);
    ~HeadlessMutter();
    HeadlessMutter(const HeadlessMutter&) = delete;
    HeadlessMutter& operator=(const HeadlessMutter&) = delete;

    const std::string& busAddress() const { return bus_; }
    // XDG_CONFIG_HOME of the compositor: where it keeps monitors.xml.
    std::string configFolder() const { return folder_ + "/config"; }
    // `gdbus call` of a method of the display configuration service, on this
    // bus; its output, exitCode set when given.
    std::string call(const std::string& methodAndArguments, int* exitCode = nullptr) const;

  private:
    HeadlessMutter(std::string folder, pid_t pid, std::string bus)
        : folder_(std::move(folder)), pid_(pid), bus_(std::move(bus)) {}

    std::string folder_;
    pid_t pid_;
    std::string bus_;
};

// The position of the logical monitor that shows this connector in a
// GetCurrentState reply as gdbus prints it; false when none does.
bool logicalPosition(const std::string& reply, const std::string& connector, int& x, int& y,
                     bool* primary = nullptr);

}  // namespace seam::testing
