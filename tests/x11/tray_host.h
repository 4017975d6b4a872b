// A stand-in for a panel's tray on the virtual server: it owns the system tray
// selection of screen 0 and announces itself as a tray host does. It embeds and
// draws nothing; it only notes the icons that ask to dock.
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
    // 16 bits a channel), when it announces one.
    explicit TrayHost(std::optional<std::array<std::uint16_t, 3>> foreground = std::nullopt);
    ~TrayHost();
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    // False when another host had the selection already (a real panel).
    bool owns() const { return window_ != 0; }
    // Dock requests received so far.
    int dockRequests();

  private:
    Display* d_;
    Window window_ = 0;
    Atom opcode_ = 0;
    int docks_ = 0;
};

}  // namespace seam::testing
