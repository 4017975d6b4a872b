// The edge bar: a thin strip along the tapped edge showing the stretch the two
// displays would share, with a marker where the user tapped. The engine talks
// to it through this interface; the window lives in the widgets layer.
#pragma once

#include <optional>
#include <utility>

#include "geometry/geometry.h"

namespace seam {

class EdgeBar {
  public:
    virtual ~EdgeBar() = default;
    // span and marker are along the edge (x for top and bottom, else y), in
    // global display space; on is the frame of the display whose edge is marked.
    virtual void show(Side side, std::pair<double, double> span, double marker, const Rect& on,
                      double seconds) = 0;
    virtual void hide() = 0;
};

// For an engine without a screen (diagnostics, benchmarks).
class NoEdgeBar : public EdgeBar {
  public:
    void show(Side, std::pair<double, double>, double, const Rect&, double) override {}
    void hide() override {}
};

namespace edge_bar {
inline constexpr double kThickness = 5;
inline constexpr double kMarkerHalf = 14;
inline constexpr double kMinLength = 4;
}  // namespace edge_bar

// The strip in global display space, inside the display along the edge; nothing
// when the span is too short to show.
std::optional<Rect> edgeBarStrip(Side side, std::pair<double, double> span, const Rect& on);
// The marker centre measured from the start of the strip, kept off its ends.
double edgeBarMarker(double marker, double low, double length);

}  // namespace seam
