// A private sway on the headless backend with two outputs of different sizes:
// HEADLESS-1 1710x1112 at (0,0) and HEADLESS-2 1280x960 to its right. Sway will
// not run as root, so under root it runs as an unprivileged user ("nobody", or
// SEAMWRIGHT_TEST_USER).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/headless_compositor.h"

namespace seam::testing {

class HeadlessSway : public HeadlessCompositor {
  public:
    // nullptr when sway could not be started; lastError() says why. env: more
    // of sway's environment ("NAME=value"), which the commands it runs inherit.
    static std::unique_ptr<HeadlessSway> start(const std::vector<std::string>& env = {});

    // Sway's IPC socket, for SWAYSOCK.
    std::string ipcSocket() const;
    // Runs swaymsg with these arguments; its standard output.
    std::string swaymsg(const std::string& args, int* exitCode = nullptr) const;
    // The outputs as sway's IPC reports them.
    ShownOutputs outputs() const override;
    // Back to the two outputs side by side; false when sway refused.
    bool arrange();

  private:
    HeadlessSway() : HeadlessCompositor("seam-sway.") { socket_ = folder_ + "/wayland-1"; }
};

}  // namespace seam::testing
