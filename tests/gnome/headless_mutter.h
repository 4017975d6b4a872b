// A headless compositor with two virtual monitors (1920x1080, then 1280x1024 to
// its right, at scale 1) on a private session bus, with configuration and
// runtime folders of its own.
#pragma once

#include <memory>
#include <string>

#include "support/headless_compositor.h"

namespace seam::testing {

class HeadlessMutter : public HeadlessCompositor {
  public:
    // nullptr when it could not be started; the reason in `error`.
    static std::unique_ptr<HeadlessMutter> start(std::string& error);

    const std::string& busAddress() const { return bus_; }
    // XDG_CONFIG_HOME of the compositor: where it keeps monitors.xml.
    std::string configFolder() const { return folder_ + "/config"; }
    // `gdbus call` of a method of the display configuration service, on this
    // bus; its output, exitCode set when given.
    std::string call(const std::string& methodAndArguments, int* exitCode = nullptr) const;
    // Meta-1 put at (x, y) and Meta-0 at the origin, as the desktop's settings
    // would; the reply, exitCode set when given.
    std::string placeSecond(int x, int y, int* exitCode = nullptr) const;
    // The monitors' places as GetCurrentState reports them.
    ShownOutputs outputs() const override;

  private:
    HeadlessMutter() : HeadlessCompositor("seam-mutter-") { socket_ = folder_ + "/run/wayland-0"; }

    std::string bus_;
};

// The position of the logical monitor that shows this connector in a
// GetCurrentState reply as gdbus prints it; false when none does.
bool logicalPosition(const std::string& reply, const std::string& connector, int& x, int& y,
                     bool* primary = nullptr);

}  // namespace seam::testing
