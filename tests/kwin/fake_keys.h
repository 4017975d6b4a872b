// Key presses injected into KWin through its fake input protocol, as a user's
// keyboard would send them (the compositor must allow the protocol: the test
// compositor runs without permission checks).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace seam::testing {

// Presses the evdev keys in order and releases them in reverse; false when the
// compositor offers no fake input that takes keys.
bool pressKeys(const std::string& socket, const std::vector<std::uint32_t>& evdevKeys);

}  // namespace seam::testing
