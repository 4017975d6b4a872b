// Output events as WAYLAND_DEBUG=1 prints them on the client side, read back
// into events: recorded sessions become test input as they were seen. Reads
// wlroots' output management and KWin's output devices and output order.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/wayland/output_layout.h"

namespace seam::testing {

// One event per recognised line; other lines (requests, other interfaces) are
// skipped. A KWin device line first seen adds that device, and its "removed"
// line stands for the registry's global_remove.
std::vector<output::Event> parseOutputLog(const std::string& text);

// The tracker after the whole log, and its heads.
OutputTracker trackerOf(const std::string& text);
std::vector<OutputHead> headsOf(const std::string& text);

std::map<std::string, std::uint32_t> idsByName(const OutputLayout& layout);
// The change flags from one layout to the next, by display name.
std::map<std::string, std::uint32_t> changesByName(const OutputLayout& before,
                                                   const OutputLayout& after);

}  // namespace seam::testing
