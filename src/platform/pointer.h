// Pointer location and warp in global display space, and the feed of pointer
// events from anywhere on the desktop where the platform has one.
#pragma once

#include <functional>

#include "geometry/geometry.h"

namespace seam {

class PointerServices {
  public:
    virtual ~PointerServices() = default;
    virtual Point location() = 0;
    virtual void warp(Point p) = 0;
    // False where clients may not move the pointer: warp then does nothing,
    // and callers leave the pointer where the user put it.
    virtual bool canWarp() const { return true; }
    // The arrangement may have changed: drop anything derived from the old one
    // (such as where global display space starts).
    virtual void displaysChanged() {}
};

// Pointer events outside our own windows, on the main thread.
class PointerFeed {
  public:
    virtual ~PointerFeed() = default;
    // Pointer motion: location, raw deltas summed over the events read together,
    // and whether the left button is held.
    std::function<void(Point p, double dx, double dy, bool dragging)> onMotion;
    // A left button press at this location.
    std::function<void(Point p)> onLeftPress;
    // Starts delivering; false when the system refuses.
    virtual bool start() = 0;
};

}  // namespace seam
