// Number and point formatting for printed results.
#pragma once

#include <string>

#include "geometry/geometry.h"

namespace seam {

// Shortest text that reads back as the same double; whole numbers without a fraction.
std::string formatNumber(double v);
// "(1710, 0)"
std::string formatPoint(Point p);
// "(10, 20, 300, 200)"
std::string formatRect(const Rect& r);

}  // namespace seam
