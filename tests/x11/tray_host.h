// A stand-in for a panel's tray on the virtual server: it owns the system tray
// selection of screen 0 and announces itself as a tray host does, with a small
// flat panel at the top right of the built-in screen. Icons that ask to dock are
// embedded in it whenever the test looks at their requests.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "support/log_capture.h"
// After gtest: Xlib's macros clash with its names.
#include <X11/Xlib.h>

namespace seam::testing {

class TrayHost {
  public:
    // foreground: the icon colour the host asks for (_NET_SYSTEM_TRAY_COLORS,
    // 16 bits a channel), when it announces one. panel: its colour, 0xRRGGBB.
    explicit TrayHost(std::optional<std::array<std::uint16_t, 3>> foreground = std::nullopt,
                      std::uint32_t panel = 0x000000);
    ~TrayHost();
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    // False when another host had the selection already (a real panel).
    bool owns() const { return window_ != 0; }
    // Dock requests received so far; their icons are embedded now.
    int dockRequests();

  private:
    Display* d_;
    Window window_ = 0;
    Atom opcode_ = 0;
    int docks_ = 0;
};

}  // namespace seam::testing
