// What the tray host of the default screen says about the icons it holds.
#pragma once

#include <optional>

#include "shell/tray_icon_tone.h"

namespace seam {

class X11Connection;

// The colour the host asks icons to draw in (_NET_SYSTEM_TRAY_COLORS, as
// panels following a theme announce it); nothing without a host or a colour.
std::optional<Rgb> trayForeground(X11Connection& connection);

}  // namespace seam
