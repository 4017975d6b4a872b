// Stored key codes against the X keysyms the X11 backend grabs.
#pragma once

#include <cstdint>
#include <optional>

namespace seam {

std::optional<unsigned long> keysymForVirtualKey(std::uint32_t keyCode);

}  // namespace seam
