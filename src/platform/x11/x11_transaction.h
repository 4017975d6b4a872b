// The configuration transaction: every display move applied under one server
// grab, or none of them.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/display_services.h"
#include "platform/x11/x11_screen_state.h"

namespace seam {

struct CrtcMove {
    RRCrtc crtc = 0;
    int x = 0;  // new root position
    int y = 0;
};

struct ConfigPlan {
    int oldWidth = 0;  // screen size before
    int oldHeight = 0;
    int width = 0;  // screen size holding both the old and the new arrangement
    int height = 0;
    int finalWidth = 0;  // the new arrangement's bounding box
    int finalHeight = 0;
    std::vector<CrtcMove> moves;  // only CRTCs whose root position changes
    RROutput primary = 0;
};

struct ScreenLimits {
    int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
};

// Turns moves in global display space into root positions. Nothing when a move
// names an inactive display or the result does not fit the screen limits.
std::optional<ConfigPlan> planConfiguration(const ScreenState& state, int screenWidth,
                                            int screenHeight, const ScreenLimits& limits,
                                            const std::vector<DisplayMove>& moves);

struct RootPoint {
    int x = 0;
    int y = 0;
    bool operator==(const RootPoint&) const = default;
};

// Where the pointer must go once the plan is in effect to stay on the same spot
// of the monitor it is on (of the main one when it is on none): the server
// leaves it at its root position while the monitors move under it. Nothing when
// that monitor keeps its root position.
std::optional<RootPoint> pointerAfter(const ScreenState& state, const ConfigPlan& plan,
                                      RootPoint pointer);

// Tests make a step fail on purpose: called before each CRTC is set, with its
// index in plan.moves; false fails that step.
using FaultHook = std::function<bool(std::size_t)>;

// Applies the plan under a server grab; on any failure restores every CRTC
// already changed, the old screen size and primary. The cache is refreshed
// inside the grab on success, and the pointer kept on its monitor.
bool applyConfiguration(Display* display, Window root, const ScreenState& state,
                        const ConfigPlan& plan, ScreenStateCache* cache,
                        const FaultHook& fault = {});

}  // namespace seam
