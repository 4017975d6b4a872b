// Key presses as Qt reports them, turned into the virtual key codes hot keys keep.
#pragma once

#include <optional>

#include "shell/hot_key_spec.h"

class QKeyEvent;

namespace seam {

// Code for a key the hot keys cannot name; such a press makes no spec.
inline constexpr std::uint32_t unmappedKeyCode = 0xFFFF;

// Nothing for a press of a modifier key alone, which only prepares a combination.
std::optional<HotKeySpec::KeyEvent> keyEventFrom(const QKeyEvent& event);

}  // namespace seam
