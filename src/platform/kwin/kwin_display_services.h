// Display services on KWin through its output management: the compositor's
// logical layout shifted so the main display is at (0,0), and moves applied as
// one output configuration.
#pragma once

#include "platform/display_services.h"
#include "platform/kwin/kwin_output_state.h"

namespace seam {

class KwinDisplayServices : public DisplayServices {
  public:
    explicit KwinDisplayServices(KwinOutputState& state) : state_(state) {}

    std::vector<Disp> activeDisplays() override;
    std::vector<std::uint32_t> onlineDisplays() override;
    std::uint32_t mainDisplay() override;
    bool isBuiltin(std::uint32_t id) override;
    std::optional<std::uint32_t> mirrors(std::uint32_t id) override;
    bool configure(const std::vector<DisplayMove>& moves) override;
    Rect toToolkit(const Rect& global) override;
    std::optional<std::string> outputName(std::uint32_t id) override;

    KwinLayout layout();

  private:
    KwinOutputState& state_;
};

}  // namespace seam
