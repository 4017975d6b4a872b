// The globals a Wayland compositor announces, read in one round trip on a
// connection of its own, before anything else talks to it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace seam {

// Interface names; nothing when no compositor answers on WAYLAND_DISPLAY.
std::optional<std::vector<std::string>> waylandGlobals();

}  // namespace seam
