// KWin's outputs as displays in global display space, and moves in that space as
// one output configuration.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/wayland/output_layout.h"

namespace seam {

using KwinOutput = OutputHead;
using KwinMode = OutputMode;
using KwinDisplay = OutputDisplay;
using KwinLayout = OutputLayout;

// The main display is the primary output, else the one at the layout's origin,
// else the first; sizes are rounded as KWin rounds them.
KwinLayout layoutOf(const std::vector<KwinOutput>& outputs, const std::string& primary);

// Where one output goes in the configuration.
struct KwinPlacement {
    std::uint32_t outputKey = 0;
    int x = 0;
    int y = 0;
    bool operator==(const KwinPlacement&) const = default;
};

// Every enabled output placed, moved ones at their new places, the whole
// layout shifted so the leftmost (then topmost) output starts at the origin, as
// the protocol asks. Nothing when a move names a display that is not active.
std::optional<std::vector<KwinPlacement>> planPlacements(const std::vector<KwinOutput>& outputs,
                                                         const std::string& primary,
                                                         const std::vector<DisplayMove>& moves);

}  // namespace seam
