// Pointer location and warp in global display space.
#pragma once

#include "geometry/geometry.h"

namespace seam {

class PointerServices {
public:
    virtual ~PointerServices() = default;
    virtual Point location() = 0;
    virtual void warp(Point p) = 0;
    // The arrangement may have changed: drop anything derived from the old one
    // (such as where global display space starts).
    virtual void displaysChanged() {}
};

}  // namespace seam
