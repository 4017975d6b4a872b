// Output management events as WAYLAND_DEBUG=1 prints them on the client side,
// read back into events: recorded sessions become test input as they were seen.
#pragma once

#include <string>
#include <vector>

#include "platform/wlroots/wlr_heads.h"

namespace seam::testing {

// One event per recognised line; other lines (requests, other interfaces) are skipped.
std::vector<wlr::Event> parseProtocolLog(const std::string& text);

// The heads after feeding the whole log to a tracker.
std::vector<WlrHead> headsOf(const std::string& text);

}  // namespace seam::testing
