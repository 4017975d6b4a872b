// Screen geometry: edges, display snapshots and the origin formulas that every
// alignment path ends in. Pure arithmetic in global display space (top-left
// origin of the main display, y downwards, points as doubles).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace seam {

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double minX() const { return x; }
    double minY() const { return y; }
    double maxX() const { return x + width; }
    double maxY() const { return y + height; }
    double midX() const { return x + width / 2; }
    double midY() const { return y + height / 2; }
    Point origin() const { return {x, y}; }
    bool contains(Point p) const { return p.x >= x && p.x < maxX() && p.y >= y && p.y < maxY(); }
    bool operator==(const Rect&) const = default;
};

// Stored ordinal is the declaration order; do not reorder.
enum class Side : std::uint8_t { top = 0, bottom = 1, left = 2, right = 3 };

inline constexpr Side kAllSides[] = {Side::top, Side::bottom, Side::left, Side::right};

std::string_view rawValue(Side s);
std::optional<Side> sideFromRaw(std::string_view raw);
std::string_view ko(Side s);
std::string_view arrow(Side s);
// User-facing word: Korean under the Korean language flag, else the raw value.
std::string name(Side s);
constexpr bool horizontal(Side s) {
    return s == Side::top || s == Side::bottom;
}
Side opposite(Side s);

// One attached display as a snapshot; never updated in place.
struct Disp {
    std::uint32_t id = 0;
    Rect f;
    bool operator==(const Disp&) const = default;
};

Side nearestEdge(const Rect& r, Point p);
std::optional<Side> sideOf(const Rect& a, const Rect& b);
bool atEdge(const Rect& r, Point p, Side s);
std::pair<double, double> sharedSpan(Side side, const Rect& rf, const Rect& of);
Point computeOrigin(Side side, double pos, const Rect& rf, const Rect& of);
Point connectOrigin(Side side, double aPos, double bPos, const Rect& rf, const Rect& of);
double alignShift(double corr, bool destIsPrimary);
double median(std::vector<double> values);
std::string positionWord(double frac, bool horizontal);

// Integer conversion used by every log line: truncation towards zero.
long long truncInt(double v);

}  // namespace seam
