#include "engine/edge_bar.h"

#include <algorithm>

namespace seam {

std::optional<Rect> edgeBarStrip(Side side, std::pair<double, double> span, const Rect& on) {
    const auto [low, high] = span;
    const double len = high - low;
    if (!(len > edge_bar::kMinLength)) return std::nullopt;
    constexpr double t = edge_bar::kThickness;
    switch (side) {
        case Side::top:
            return Rect{low, on.minY(), len, t};
        case Side::bottom:
            return Rect{low, on.maxY() - t, len, t};
        case Side::left:
            return Rect{on.minX(), low, t, len};
        case Side::right:
            return Rect{on.maxX() - t, low, t, len};
    }
    return std::nullopt;
}

double edgeBarMarker(double marker, double low, double length) {
    // Raised first, then lowered: on a strip shorter than the marker it sits at the end.
    return std::min(std::max(marker - low, edge_bar::kMarkerHalf), length - edge_bar::kMarkerHalf);
}

}  // namespace seam
