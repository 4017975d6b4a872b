#include "geometry/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/text.h"

namespace seam {
namespace {

const Rect kMain{0, 0, 1710, 1112};
const Rect kMonitor{-143, -960, 1280, 960};

TEST(SideTest, TableAndRawValues) {
    struct Row {
        Side s;
        const char *raw, *ko, *arrow;
        bool horizontal;
        Side opposite;
    };
    const Row rows[] = {{Side::top, "top", "위쪽", "↑", true, Side::bottom},
                        {Side::bottom, "bottom", "아래쪽", "↓", true, Side::top},
                        {Side::left, "left", "왼쪽", "←", false, Side::right},
                        {Side::right, "right", "오른쪽", "→", false, Side::left}};
    int ordinal = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.raw);
        EXPECT_EQ(static_cast<int>(r.s), ordinal++);
        EXPECT_EQ(rawValue(r.s), r.raw);
        EXPECT_EQ(ko(r.s), r.ko);
        EXPECT_EQ(arrow(r.s), r.arrow);
        EXPECT_EQ(horizontal(r.s), r.horizontal);
        EXPECT_EQ(opposite(r.s), r.opposite);
        EXPECT_EQ(sideFromRaw(r.raw), r.s);
        setKorean(true);
        EXPECT_EQ(name(r.s), r.ko);
        setKorean(false);
        EXPECT_EQ(name(r.s), r.raw);
    }
    for (const char* bad : {"Top", "", "up", "top ", "lefT"}) EXPECT_FALSE(sideFromRaw(bad)) << bad;
}

// kMonitor sits away from the origin, so using its place instead of its size shows.
TEST(ComputeOriginTest, MeetsAtMirroredFractionFlushWithTheEdge) {
    struct Case {
        Side side;
        double pos, fraction;
        double flush;  // y of a display above or below, x of one beside
    };
    const Case cases[] = {{Side::top, 855, 0.50, -960},   {Side::top, 596, 0.65, -960},
                          {Side::top, 201, 0.88, -960},   {Side::top, 0, 0.77, -960},
                          {Side::top, 1562, 0.12, -960},  {Side::bottom, 513, 0.70, 1112},
                          {Side::left, 556, 0.50, -1280}, {Side::right, 334, 0.70, 1710}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(rawValue(c.side)) + " " + std::to_string(c.pos));
        const Point o = computeOrigin(c.side, c.pos, kMain, kMonitor);
        const bool h = horizontal(c.side);
        EXPECT_NEAR(h ? (c.pos - o.x) / kMonitor.width : (c.pos - o.y) / kMonitor.height,
                    c.fraction, 0.01);
        EXPECT_EQ(h ? o.y : o.x, c.flush);
    }
}

TEST(ConnectOriginTest, PointsMeet) {
    EXPECT_EQ(connectOrigin(Side::top, 100, 1037, kMain, kMonitor), (Point{-1080, -960}));
    EXPECT_EQ(connectOrigin(Side::bottom, 100, 1037, kMain, kMonitor), (Point{-1080, 1112}));
    // Vertical sides measure along y and sit flush in x.
    EXPECT_EQ(connectOrigin(Side::left, 500, -400, kMain, kMonitor), (Point{-1280, -60}));
    for (double a : {-500.0, 0.0, 90.0, 4000.0})
        EXPECT_EQ(connectOrigin(Side::right, a, 10, kMain, kMonitor).x, 1710);
    // No clamping: far-off points leave no overlap.
    EXPECT_EQ(connectOrigin(Side::top, 5000, -143, kMain, kMonitor).x, 5000);
}

TEST(NearestEdgeTest, SignedDistancesAndTieOrder) {
    EXPECT_EQ(nearestEdge(kMain, {120, 30}), Side::top);
    EXPECT_EQ(nearestEdge(kMain, {5, 600}), Side::left);
    EXPECT_EQ(nearestEdge(kMain, {1700, 600}), Side::right);
    EXPECT_EQ(nearestEdge(kMain, {800, 1100}), Side::bottom);
    const Rect square{0, 0, 100, 100};
    EXPECT_EQ(nearestEdge(square, {50, 50}), Side::left);   // all equal: left first
    EXPECT_EQ(nearestEdge(square, {95, 95}), Side::right);  // right beats bottom on a tie
    EXPECT_EQ(nearestEdge(square, {50, 5}), Side::top);
    // Outside: the negative distance wins, not the absolute one.
    EXPECT_EQ(nearestEdge(square, {50, -30}), Side::top);
    EXPECT_EQ(nearestEdge(square, {130, 98}), Side::right);
}

TEST(SideOfTest, TwoPointTolerance) {
    struct Case {
        Rect b;
        std::optional<Side> want;
    };
    const Case cases[] = {
        {{0, -960, 1280, 960}, Side::top},      {{0, -961.9, 1280, 960}, Side::top},
        {{0, -962, 1280, 960}, std::nullopt},   {{0, 1113.9, 800, 600}, Side::bottom},
        {{-1280, 100, 1280, 960}, Side::left},  {{1711.5, 100, 1280, 960}, Side::right},
        {{1712, 100, 1280, 960}, std::nullopt}, {{3000, 3000, 10, 10}, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(sideOf(kMain, c.b), c.want) << c.b.x << "," << c.b.y;
    // Top is examined before left: a display touching both reads as top.
    EXPECT_EQ(sideOf(kMain, {-1280, -960, 1280, 960}), Side::top);
}

TEST(AtEdgeTest, LastPixelWithinTolerance) {
    EXPECT_TRUE(atEdge(kMain, {1707.5, 10}, Side::right));
    EXPECT_FALSE(atEdge(kMain, {1707.4, 10}, Side::right));
    EXPECT_TRUE(atEdge(kMain, {10, 1.5}, Side::top));
    EXPECT_FALSE(atEdge(kMain, {10, 1.6}, Side::top));
    EXPECT_TRUE(atEdge(kMain, {10, 1109.5}, Side::bottom));
    EXPECT_FALSE(atEdge(kMain, {10, 1109.4}, Side::bottom));
    EXPECT_TRUE(atEdge(kMain, {1.5, 10}, Side::left));
    EXPECT_FALSE(atEdge(kMain, {1.51, 10}, Side::left));
}

TEST(SharedSpanTest, OverlapCornerAndGap) {
    EXPECT_EQ(sharedSpan(Side::top, kMain, kMonitor), (std::pair<double, double>{0, 1137}));
    const auto corner = sharedSpan(Side::top, kMain, {1710, -960, 1280, 960});
    EXPECT_EQ(corner.first, corner.second);
    const auto gap = sharedSpan(Side::top, kMain, {1800, -960, 1280, 960});
    EXPECT_LT(gap.second, gap.first);
    EXPECT_EQ(sharedSpan(Side::right, kMain, {1710, 1000, 1280, 960}),
              (std::pair<double, double>{1000, 1112}));
}

TEST(PositionWordTest, Buckets) {
    struct Case {
        double f;
        bool h;
        const char* want;
    };
    const Case cases[] = {
        {0.0, true, "왼쪽 끝"},   {0.1199, true, "왼쪽 끝"}, {0.12, true, "왼쪽"},
        {0.38, true, "가운데"},   {0.62, true, "오른쪽"},    {0.88, true, "오른쪽 끝"},
        {0.05, false, "위쪽 끝"}, {0.2, false, "위쪽"},      {0.5, false, "가운데"},
        {0.7, false, "아래쪽"},   {0.88, false, "아래쪽 끝"}};
    for (const Case& c : cases) EXPECT_EQ(positionWord(c.f, c.h), c.want) << c.f << " " << c.h;
}

TEST(TruncIntTest, TowardsZeroAndSafe) {
    EXPECT_EQ(truncInt(1.9), 1);
    EXPECT_EQ(truncInt(-1.9), -1);
    EXPECT_EQ(truncInt(-0.5), 0);
    EXPECT_EQ(truncInt(std::nan("")), 0);
    EXPECT_GT(truncInt(1e300), 0);  // no overflow into undefined behaviour
}

}  // namespace
}  // namespace seam
