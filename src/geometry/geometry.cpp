#include "geometry/geometry.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"

namespace seam {

namespace {
struct SideRow {
    std::string_view raw, ko, arrow;
    Side opposite;
};
constexpr SideRow kSides[] = {
    {"top", "위쪽", "↑", Side::bottom},
    {"bottom", "아래쪽", "↓", Side::top},
    {"left", "왼쪽", "←", Side::right},
    {"right", "오른쪽", "→", Side::left},
};
const SideRow& row(Side s) {
    return kSides[static_cast<int>(s)];
}

// Tolerance of sideOf: strictly less than this many points counts as touching.
constexpr double kTouchTol = 2.0;
// Same value as the engine's edge tolerance.
constexpr double kEdgeTol = 1.5;
}  // namespace

std::string_view rawValue(Side s) {
    return row(s).raw;
}
std::string_view ko(Side s) {
    return row(s).ko;
}
std::string_view arrow(Side s) {
    return row(s).arrow;
}
Side opposite(Side s) {
    return row(s).opposite;
}
std::string name(Side s) {
    return std::string(isKorean() ? ko(s) : rawValue(s));
}

std::optional<Side> sideFromRaw(std::string_view raw) {
    for (Side s : kAllSides)
        if (rawValue(s) == raw) return s;
    return std::nullopt;
}

Side nearestEdge(const Rect& r, Point p) {
    const std::pair<Side, double> candidates[] = {
        {Side::left, p.x - r.minX()},
        {Side::right, r.maxX() - p.x},
        {Side::top, p.y - r.minY()},
        {Side::bottom, r.maxY() - p.y},
    };
    auto best = candidates[0];
    for (const auto& c : candidates)
        if (c.second < best.second) best = c;
    return best.first;
}

std::optional<Side> sideOf(const Rect& a, const Rect& b) {
    if (std::abs(b.maxY() - a.minY()) < kTouchTol) return Side::top;
    if (std::abs(b.minY() - a.maxY()) < kTouchTol) return Side::bottom;
    if (std::abs(b.maxX() - a.minX()) < kTouchTol) return Side::left;
    if (std::abs(b.minX() - a.maxX()) < kTouchTol) return Side::right;
    return std::nullopt;
}

bool atEdge(const Rect& r, Point p, Side s) {
    switch (s) {
        case Side::top:
            return p.y <= r.minY() + kEdgeTol;
        case Side::bottom:
            return p.y >= r.maxY() - 1 - kEdgeTol;
        case Side::left:
            return p.x <= r.minX() + kEdgeTol;
        case Side::right:
            return p.x >= r.maxX() - 1 - kEdgeTol;
    }
    return false;
}

std::pair<double, double> sharedSpan(Side side, const Rect& rf, const Rect& of) {
    if (horizontal(side)) return {std::max(rf.minX(), of.minX()), std::min(rf.maxX(), of.maxX())};
    return {std::max(rf.minY(), of.minY()), std::min(rf.maxY(), of.maxY())};
}

Point computeOrigin(Side side, double pos, const Rect& rf, const Rect& of) {
    auto clampFrac = [](double f) { return std::min(std::max(f, 0.1), 0.9); };
    if (horizontal(side)) {
        const double frac = clampFrac((pos - rf.minX()) / rf.width);
        const double x = rf.minX() + rf.width * frac - of.width * (1 - frac);
        const double y = side == Side::top ? rf.minY() - of.height : rf.maxY();
        return {x, y};
    }
    const double frac = clampFrac((pos - rf.minY()) / rf.height);
    const double y = rf.minY() + rf.height * frac - of.height * (1 - frac);
    const double x = side == Side::left ? rf.minX() - of.width : rf.maxX();
    return {x, y};
}

Point connectOrigin(Side side, double aPos, double bPos, const Rect& rf, const Rect& of) {
    switch (side) {
        case Side::top:
            return {aPos - (bPos - of.minX()), rf.minY() - of.height};
        case Side::bottom:
            return {aPos - (bPos - of.minX()), rf.maxY()};
        case Side::left:
            return {rf.minX() - of.width, aPos - (bPos - of.minY())};
        case Side::right:
            return {rf.maxX(), aPos - (bPos - of.minY())};
    }
    return of.origin();
}

double alignShift(double corr, bool destIsPrimary) {
    return destIsPrimary ? corr : -corr;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;  // callers never pass an empty list; stay defined anyway
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    if (n % 2 == 1) return values[n / 2];
    return (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string positionWord(double frac, bool horiz) {
    if (frac < 0.12) return horiz ? "왼쪽 끝" : "위쪽 끝";
    if (frac < 0.38) return horiz ? "왼쪽" : "위쪽";
    if (frac < 0.62) return "가운데";
    if (frac < 0.88) return horiz ? "오른쪽" : "아래쪽";
    return horiz ? "오른쪽 끝" : "아래쪽 끝";
}

long long truncInt(double v) {
    if (std::isnan(v)) return 0;
    constexpr double kLimit = 9.2e18;  // inside the range of long long
    return static_cast<long long>(std::trunc(std::clamp(v, -kLimit, kLimit)));
}

}  // namespace seam
