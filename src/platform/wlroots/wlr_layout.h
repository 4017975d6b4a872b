// The heads of a wlroots compositor as displays in global display space, and
// moves in that space as settings for every head in one configuration.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/wayland/output_layout.h"

namespace seam {

using WlrHead = OutputHead;
using WlrMode = OutputMode;
using WlrDisplay = OutputDisplay;
using WlrLayout = OutputLayout;

// An output the compositor shows through wl_output and xdg-output. Some
// compositors report a head as disabled while showing it (sway 1.7 does so for
// outputs without fixed modes); this is then where its place comes from.
struct WlrShownOutput {
    std::string name;
    int x = 0;  // logical position and size in the compositor layout
    int y = 0;
    int width = 0;
    int height = 0;
    int modeWidth = 0;  // current mode, physical pixels
    int modeHeight = 0;
    int refresh = 0;  // mHz
    int transform = 0;
    bool operator==(const WlrShownOutput&) const = default;
};

// The main display is the one at the layout's origin, else the first.
WlrLayout layoutOf(const std::vector<WlrHead>& heads, const std::vector<WlrShownOutput>& shown);

// How one head is restated in a configuration.
struct WlrHeadSetting {
    std::uint32_t headKey = 0;
    bool enabled = false;
    std::optional<std::uint32_t> mode;  // the head's current mode object
    // Without a mode object: the mode in physical pixels and mHz.
    std::optional<std::pair<int, int>> customSize;
    int customRefresh = 0;
    int x = 0;
    int y = 0;
    int transform = 0;
    double scale = 1.0;
    bool operator==(const WlrHeadSetting&) const = default;
};

// Every head restated as it is, active ones at their new positions; nothing
// when a move names a display that is not active.
std::optional<std::vector<WlrHeadSetting>> planConfiguration(
    const std::vector<WlrHead>& heads, const std::vector<WlrShownOutput>& shown,
    const std::vector<DisplayMove>& moves);

}  // namespace seam
