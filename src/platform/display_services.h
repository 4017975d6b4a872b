// The window server's display services as the logic needs them. Frames are in
// global display space: the main display's frame starts at (0,0), y downwards.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geometry/geometry.h"

namespace seam {

// One origin change in whole points, as the window server takes it.
struct DisplayMove {
    std::uint32_t id = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const DisplayMove&) const = default;
};

class DisplayServices {
  public:
    virtual ~DisplayServices() = default;

    // Displays that show part of the desktop, in the server's order.
    virtual std::vector<Disp> activeDisplays() = 0;
    // Connected displays, with or without a picture.
    virtual std::vector<std::uint32_t> onlineDisplays() = 0;
    virtual std::uint32_t mainDisplay() = 0;  // 0 when there is no display at all
    virtual bool isBuiltin(std::uint32_t id) = 0;
    // The earlier active display this one mirrors, if any.
    virtual std::optional<std::uint32_t> mirrors(std::uint32_t id) = 0;
    // Applies every move or none; true when the new arrangement is in effect.
    virtual bool configure(const std::vector<DisplayMove>& moves) = 0;
    // Maps a rectangle of global display space into the toolkit's window space.
    virtual Rect toToolkit(const Rect& global) = 0;
    // The display's output as the window system names it ("DP-1"), which the
    // toolkit's screens carry too; nothing where the server has no such name.
    virtual std::optional<std::string> outputName(std::uint32_t) { return std::nullopt; }
};

}  // namespace seam
