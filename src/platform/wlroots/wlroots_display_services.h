// Display services on a wlroots compositor through its output management:
// the compositor's logical layout shifted so the main display is at (0,0), and
// moves applied as one configuration of every head.
#pragma once

#include "platform/display_services.h"
#include "platform/wlroots/wlr_output_state.h"

namespace seam {

class WlrootsDisplayServices : public DisplayServices {
  public:
    explicit WlrootsDisplayServices(WlrOutputState& state) : state_(state) {}

    std::vector<Disp> activeDisplays() override;
    std::vector<std::uint32_t> onlineDisplays() override;
    std::uint32_t mainDisplay() override;
    bool isBuiltin(std::uint32_t id) override;
    std::optional<std::uint32_t> mirrors(std::uint32_t id) override;
    bool configure(const std::vector<DisplayMove>& moves) override;
    Rect toToolkit(const Rect& global) override;
    std::optional<std::string> outputName(std::uint32_t id) override;

    WlrLayout layout();

  private:
    WlrOutputState& state_;
};

}  // namespace seam
