// Output device events as WAYLAND_DEBUG=1 prints them on the client side, read
// back into events: recorded sessions become test input as they were seen.
#pragma once

#include <string>
#include <vector>

#include "platform/kwin/kwin_outputs.h"

namespace seam::testing {

// One event per recognised line; other lines (requests, other interfaces) are
// skipped. A device line first seen adds that device.
std::vector<kwin::Event> parseKwinLog(const std::string& text);

struct KwinState {
    std::vector<KwinOutput> outputs;
    std::string primary;
};
KwinState kwinStateOf(const std::string& text);

}  // namespace seam::testing
