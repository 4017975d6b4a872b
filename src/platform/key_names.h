// The keys a hot key may use, by stored key code (A = 0, Z = 6, F5 = 96, ...)
// against their X keysym names: the X11 backend grabs these keysyms and the
// desktops bind keys by these names, so a stored key means one key everywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace seam {

// The keysym name of a stored key code ("a", "Return", "F5"), or none.
std::optional<std::string> keysymName(std::uint32_t keyCode);

}  // namespace seam
