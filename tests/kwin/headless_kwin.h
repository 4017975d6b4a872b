// A private headless KWin with two virtual outputs of 1920x1080 side by side,
// on its own session bus. The installed binary carries a file capability that
// a restricted capability set refuses, so a plain copy of it runs instead.
#pragma once

#include <memory>
#include <string>

#include "support/headless_compositor.h"

namespace seam::testing {

class HeadlessKwin : public HeadlessCompositor {
  public:
    // nullptr when KWin could not be started; lastError() says why. On a bus
    // of the caller's (its address), KWin also takes fake input from any client.
    static std::unique_ptr<HeadlessKwin> start(const std::string& bus = "");

    // The outputs' logical places as wayland-info reads them through xdg-output.
    ShownOutputs outputs() const override;

  private:
    HeadlessKwin() : HeadlessCompositor("seam-kwin.") { socket_ = folder_ + "/wayland-kwin"; }
};

}  // namespace seam::testing
