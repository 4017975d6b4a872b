// A Wayland compositor's heads as displays in global display space: the
// compositor's logical layout shifted so the main display (the primary output,
// else the one at the layout's origin, else the first) starts at (0,0).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "geometry/geometry.h"
#include "platform/display_changes.h"
#include "platform/display_services.h"
#include "platform/wayland/output_heads.h"

namespace seam {

struct OutputDisplay {
    std::uint32_t id = 0;  // stable for this monitor on this connector
    std::uint32_t headKey = 0;
    std::string name;
    bool active = false;  // shows part of the desktop
    Rect layout;          // compositor layout, logical units; meaningful when active
    // Active only because the compositor shows it while the head says disabled.
    bool shownOnly = false;
    std::vector<std::uint8_t> edid;
    bool operator==(const OutputDisplay&) const = default;
};

// Where a head stands in the layout after some moves, in compositor units.
struct HeadPlace {
    std::uint32_t headKey = 0;
    int x = 0;
    int y = 0;
};

struct OutputLayout {
    std::vector<OutputDisplay> displays;  // every head, by name
    std::uint32_t main = 0;               // 0 when nothing is active
    Point origin;                         // the main display's layout position

    const OutputDisplay* display(std::uint32_t id) const;
    const OutputDisplay* displayOfHead(std::uint32_t headKey) const;
    std::vector<Disp> active() const;  // global display space
    std::vector<std::uint32_t> online() const;
    // The earlier active display showing exactly the same rectangle.
    std::optional<std::uint32_t> mirrorOf(std::uint32_t id) const;
    DisplaySnapshot snapshot() const;
    // Every active display's place with the moves made (a later move of the
    // same display wins); nothing when a move names a display that is not active.
    std::optional<std::vector<HeadPlace>> placesAfter(const std::vector<DisplayMove>& moves) const;
};

// The same number for the same output (name, make, model, serial) in every
// process of a session; another monitor on the same connector gets another.
std::uint32_t displayIdOf(const OutputHead& head);

// wlroots truncates a scaled size, KWin rounds it.
enum class SizeRounding { truncate, nearest };

// Logical size of a mode under a transform and scale.
std::pair<int, int> logicalSize(int modeWidth, int modeHeight, int transform, double scale,
                                SizeRounding rounding = SizeRounding::truncate);

struct LayoutRules {
    SizeRounding rounding = SizeRounding::truncate;
    std::string primary;  // the main display's name when the compositor has one
    // Where a head that says disabled is shown anyway, if it is.
    std::function<std::optional<Rect>(const OutputHead&)> shownWhileDisabled;
};

OutputLayout mapLayout(const std::vector<OutputHead>& heads, const LayoutRules& rules);

}  // namespace seam
