// Key presses as Qt reports them, turned into the virtual key codes hot keys keep.
#pragma once

#include <optional>

#include "shell/hot_key_spec.h"

class QKeyEvent;

namespace seam {

class HotKeyRegistry;

// Code for a key the hot keys cannot name; such a press makes no spec.
inline constexpr std::uint32_t unmappedKeyCode = 0xFFFF;

// Nothing for a press of a modifier key alone, which only prepares a combination.
std::optional<HotKeySpec::KeyEvent> keyEventFrom(const QKeyEvent& event);

// Runs the hot key a press in one of our windows stands for; false when it is none.
bool pressHotKey(const HotKeyRegistry& registry, const QKeyEvent& event);

}  // namespace seam
