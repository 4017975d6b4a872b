// A private headless KWin with two virtual outputs of 1920x1080 side by side,
// on a session bus of the caller's or its own. The installed binary carries a
// file capability that a restricted capability set refuses, so a plain copy of
// it runs instead.
#pragma once

#include <memory>
#include <string>

#include "support/headless_compositor.h"
#include "support/session_bus.h"

namespace seam::testing {

class HeadlessKwin : public HeadlessCompositor {
  public:
    // nullptr when KWin could not be started; lastError() says why. KWin takes
    // fake input from any client.
    static std::unique_ptr<HeadlessKwin> start(const std::string& bus = "");
    ~HeadlessKwin() override { stop(); }  // before its bus goes

    // The outputs' logical places as wayland-info reads them through xdg-output.
    ShownOutputs outputs() const override;
    // One output's scale set as the desktop's display settings would: the code
    // under test never changes scales, but the outputs start out alike.
    bool setScale(const std::string& output, double scale) const;

  private:
    HeadlessKwin() : HeadlessCompositor("seam-kwin.") { socket_ = folder_ + "/wayland-kwin"; }

    std::unique_ptr<SessionBus> ownBus_;
    std::string bus_;
};

}  // namespace seam::testing
