// Pointer location and warp in global display space.
#pragma once

#include "geometry/geometry.h"

namespace seam {

class PointerServices {
public:
    virtual ~PointerServices() = default;
    virtual Point location() = 0;
    virtual void warp(Point p) = 0;
};

}  // namespace seam
