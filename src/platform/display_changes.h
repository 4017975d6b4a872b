// Display reconfiguration events: which display changed and how, in the window
// server's change-summary bits. Platforms that only tell "something changed"
// compute the bits by comparing a snapshot of the displays with the previous one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "geometry/geometry.h"
#include "platform/display_services.h"

namespace seam {

namespace changeFlag {
inline constexpr std::uint32_t beginConfiguration = 0x1;
inline constexpr std::uint32_t moved = 0x2;
inline constexpr std::uint32_t setMain = 0x4;
inline constexpr std::uint32_t setMode = 0x8;
inline constexpr std::uint32_t add = 0x10;
inline constexpr std::uint32_t remove = 0x20;
inline constexpr std::uint32_t enabled = 0x100;
inline constexpr std::uint32_t disabled = 0x200;
inline constexpr std::uint32_t mirror = 0x400;
inline constexpr std::uint32_t unmirror = 0x800;
}  // namespace changeFlag

class DisplayChangeSource {
  public:
    using Callback = std::function<void(std::uint32_t display, std::uint32_t flags)>;
    // The window server's general failure, as reported where there are no events.
    static constexpr int unavailable = 1000;
    virtual ~DisplayChangeSource() = default;
    // Registers the one callback, called for each display whose state changed.
    // 0 when registered, otherwise the platform's error code.
    virtual int registerCallback(Callback callback) = 0;
};

struct DisplayState {
    std::uint32_t id = 0;
    bool active = false;  // shows part of the desktop
    Rect frame;           // global display space; meaningful only when active
    std::optional<std::uint32_t> mirrorOf;
    // The monitor's EDID as last read; empty when none could be read.
    std::vector<std::uint8_t> edid;
    bool operator==(const DisplayState&) const = default;
};

struct DisplaySnapshot {
    std::vector<DisplayState> displays;  // every online display
    std::uint32_t main = 0;
    bool operator==(const DisplaySnapshot&) const = default;
};

struct DisplayChange {
    std::uint32_t display = 0;
    std::uint32_t flags = 0;
    bool operator==(const DisplayChange&) const = default;
};

DisplaySnapshot takeSnapshot(DisplayServices& services);

// One entry per display that differs, in the order of after, then of before for
// displays that went away. A display that appears active gets add and enabled,
// one that goes away while active gets remove and disabled. Another monitor on
// the same connector (a different EDID) is the old one going and the new one
// coming, under one id.
std::vector<DisplayChange> diffSnapshots(const DisplaySnapshot& before,
                                         const DisplaySnapshot& after);

}  // namespace seam
