#include "base/format.h"

#include <charconv>
#include <cmath>

namespace seam {

std::string formatNumber(double v) {
    if (v == 0) return "0";  // also folds -0
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string formatPoint(Point p) {
    return "(" + formatNumber(p.x) + ", " + formatNumber(p.y) + ")";
}

std::string formatRect(const Rect& r) {
    return "(" + formatNumber(r.x) + ", " + formatNumber(r.y) + ", " + formatNumber(r.width) +
           ", " + formatNumber(r.height) + ")";
}

}  // namespace seam
