// Where the edge bar's strip and marker go.
#include "engine/edge_bar.h"

#include <gtest/gtest.h>

namespace seam {
namespace {

TEST(EdgeBarTest, StripLiesInsideTheDisplayAlongItsEdge) {
    const Rect r{0, 0, 1710, 1112};
    struct Case {
        Side side;
        std::pair<double, double> span;
        std::optional<Rect> strip;
    };
    const Case cases[] = {
        {Side::top, {200, 900}, Rect{200, 0, 700, 5}},
        {Side::bottom, {200, 900}, Rect{200, 1107, 700, 5}},
        {Side::left, {100, 600}, Rect{0, 100, 5, 500}},
        {Side::right, {100, 600}, Rect{1705, 100, 5, 500}},
        {Side::top, {200, 204}, std::nullopt},
        {Side::top, {200, 204.5}, Rect{200, 0, 4.5, 5}},
        {Side::right, {600, 100}, std::nullopt},  // no overlap at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(rawValue(c.side)) + " " + std::to_string(c.span.second));
        EXPECT_EQ(edgeBarStrip(c.side, c.span, r), c.strip);
    }
}

TEST(EdgeBarTest, MarkerStaysOffTheEnds) {
    struct Case {
        double marker, low, length, at;
    };
    const Case cases[] = {
        {500, 200, 700, 300},  // inside
        {150, 200, 700, 14},   // before the start
        {950, 200, 700, 686},  // past the end
        {210, 200, 20, 6},     // a strip shorter than the marker: at its end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.marker);
        EXPECT_EQ(edgeBarMarker(c.marker, c.low, c.length), c.at);
    }
}

}  // namespace
}  // namespace seam
