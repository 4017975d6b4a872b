// Virtual key codes (A = 0, Z = 6, F5 = 96, ...) against X keysyms, so stored
// hot keys mean the same key on every platform.
#pragma once

#include <cstdint>
#include <optional>

namespace seam {

std::optional<unsigned long> keysymForVirtualKey(std::uint32_t keyCode);
std::optional<std::uint32_t> virtualKeyForKeysym(unsigned long keysym);

}  // namespace seam
