// KWin's outputs as displays in global display space, and moves in that space as
// one output configuration. Global display space is the compositor's logical
// layout shifted so the main display (the primary output, else the one at the
// layout's origin, else the first) starts at (0,0).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "geometry/geometry.h"
#include "platform/display_changes.h"
#include "platform/display_services.h"
#include "platform/kwin/kwin_outputs.h"

namespace seam {

struct KwinDisplay {
    std::uint32_t id = 0;  // stable for this monitor on this connector
    std::uint32_t outputKey = 0;
    std::string name;
    bool active = false;  // shows part of the desktop
    Rect layout;          // compositor layout, logical units; meaningful when active
    std::vector<std::uint8_t> edid;
    bool operator==(const KwinDisplay&) const = default;
};

struct KwinLayout {
    std::vector<KwinDisplay> displays;  // every output, by name
    std::uint32_t main = 0;             // 0 when nothing is active
    Point origin;                       // the main display's layout position

    const KwinDisplay* display(std::uint32_t id) const;
    const KwinDisplay* displayOfOutput(std::uint32_t outputKey) const;
    std::vector<Disp> active() const;  // global display space
    std::vector<std::uint32_t> online() const;
    // The earlier active display showing exactly the same rectangle.
    std::optional<std::uint32_t> mirrorOf(std::uint32_t id) const;
    DisplaySnapshot snapshot() const;
};

// Logical size of a mode under a transform and scale, rounded as KWin rounds it.
std::pair<int, int> kwinLogicalSize(int modeWidth, int modeHeight, int transform, double scale);

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
