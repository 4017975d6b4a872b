// What the tray host of the default screen says about the icons it holds.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "shell/tray_icon_tone.h"

namespace seam {

class X11Connection;

// The colour the host asks icons to draw in (_NET_SYSTEM_TRAY_COLORS, as
// panels following a theme announce it); nothing without a host or a colour.
std::optional<Rgb> trayForeground(X11Connection& connection);

// The screen's pixels (0xRRGGBB) in a ring of two just around the icon window
// once a tray host has embedded it, read from the first window around it that
// is larger; nothing while the icon is not embedded.
std::vector<std::uint32_t> pixelsAroundIcon(X11Connection& connection, unsigned long icon);

}  // namespace seam
