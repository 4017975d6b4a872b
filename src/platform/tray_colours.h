// What the desktop's tray host shows around our icon, where it can be read.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "shell/tray_icon_tone.h"

namespace seam {

class TrayColourSource {
  public:
    virtual ~TrayColourSource() = default;
    // The colour the host asks icons to draw in; nothing when it names none.
    virtual std::optional<Rgb> hostForeground() = 0;
    // Pixels (0xRRGGBB) just around the docked icon window; empty while undocked.
    virtual std::vector<std::uint32_t> pixelsAroundIcon(unsigned long iconWindow) = 0;
};

}  // namespace seam
