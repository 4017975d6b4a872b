// The heads of a wlroots compositor as displays in global display space, and
// moves in that space as settings for every head in one configuration. Global
// display space is the compositor's logical layout shifted so the main display
// (the one at the layout's origin, else the first) starts at (0,0).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geometry/geometry.h"
#include "platform/display_changes.h"
#include "platform/display_services.h"
#include "platform/wlroots/wlr_heads.h"

namespace seam {

struct WlrDisplay {
    std::uint32_t id = 0;  // stable for this output in this session
    std::uint32_t headKey = 0;
    std::string name;
    bool active = false;  // shows part of the desktop
    Rect layout;          // compositor layout, logical units; meaningful when active
    // Active only because the compositor shows it while the head says disabled.
    bool shownOnly = false;
    bool operator==(const WlrDisplay&) const = default;
};

struct WlrLayout {
    std::vector<WlrDisplay> displays;  // every head, by name
    std::uint32_t main = 0;            // 0 when nothing is active
    Point origin;                      // the main display's layout position

    const WlrDisplay* display(std::uint32_t id) const;
    const WlrDisplay* displayOfHead(std::uint32_t headKey) const;
    std::vector<Disp> active() const;  // global display space
    std::vector<std::uint32_t> online() const;
    // The earlier active display showing exactly the same rectangle.
    std::optional<std::uint32_t> mirrorOf(std::uint32_t id) const;
    DisplaySnapshot snapshot() const;
};

// The same number for the same output (name, make, model, serial) in every
// process of a session; another monitor on the same connector gets another.
std::uint32_t displayIdOf(const WlrHead& head);

// Logical size of a mode under a transform and scale, as wlroots computes it.
std::pair<int, int> logicalSize(int modeWidth, int modeHeight, int transform, double scale);

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
