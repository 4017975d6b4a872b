// Trail, crossings, excursions and boundary taps.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace seam {
namespace {

using namespace seam::testing;

TEST(BlockedPushTest, EdgesCornersAndTies) {
    struct Case {
        const char* name;
        Point p;
        double dx, dy;
        std::optional<PushHit> hit;
    };
    const Rect r = kPanelFrame;
    const Case cases[] = {
        {"right within tolerance", {1707.5, 500}, 3, 0, PushHit{Side::right, 3}},
        {"right just outside tolerance", {1707.4, 500}, 3, 0, std::nullopt},
        {"at the right edge moving left", {1709, 500}, -3, 0, std::nullopt},
        {"left", {1.5, 500}, -4, 0, PushHit{Side::left, 4}},
        {"top", {800, 0}, 0, -6, PushHit{Side::top, 6}},
        {"bottom", {800, 1109.5}, 0, 2, PushHit{Side::bottom, 2}},
        {"bottom just outside tolerance", {800, 1109.4}, 0, 2, std::nullopt},
        {"corner: stronger push wins", {0, 0}, -5, -7, PushHit{Side::top, 7}},
        {"corner: tie goes to the earlier", {0, 0}, -7, -7, PushHit{Side::left, 7}},
        {"middle of the screen", {800, 500}, 50, 50, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(blockedPush(r, c.p, c.dx, c.dy), c.hit);
    }
}

using TrailTest = EngineTest;

TEST_F(TrailTest, IgnoresEverythingWithoutExactlyTwoDisplays) {
    server.removeDisplay(kMonitor);
    stroke({100, 100}, {1700, 100}, 20);
    pushAt({1709, 100}, 10, 0, 20);
    EXPECT_EQ(engine().events(), 40);
    EXPECT_TRUE(engine().trail().empty());
    EXPECT_FALSE(engine().push());
    EXPECT_TRUE(logs.messages().empty());
}

TEST_F(TrailTest, PointsOffEveryScreenLeaveTheStateAlone) {
    move({100, 100});
    move({2000, 1000});  // below the monitor, right of the panel
    move({-5, 100});
    EXPECT_EQ(engine().events(), 3);
    EXPECT_EQ(engine().trail().size(), 1);
}

TEST_F(TrailTest, APauseOverFourTenthsStartsANewStroke) {
    struct Case {
        double gap;
        int kept;
    };
    for (const Case c : {Case{0.41, 1}, Case{0.39, 2}}) {
        SCOPED_TRACE(c.gap);
        wait(5);
        move({100, 100});
        move({110, 100}, 10, 0, c.gap);
        EXPECT_EQ(engine().trail().size(), c.kept);
        EXPECT_EQ(engine().trail().back().p, (Point{110, 100}));
    }
}

TEST_F(TrailTest, RecordsTheCrossingWithItsSideAndIndex) {
    stroke({1600, 500}, {1800, 500}, 10);  // 1620 ... 1800; 1720 is the first on the monitor
    ASSERT_TRUE(engine().crossing());
    const Crossing& c = *engine().crossing();
    EXPECT_EQ(c.from.id, kPanel);
    EXPECT_EQ(c.to.id, kMonitor);
    EXPECT_EQ(c.side, Side::right);
    EXPECT_EQ(c.index, 5);
    EXPECT_EQ(engine().trail()[c.index].p.x, 1720);
    EXPECT_EQ(engine().trail()[c.index].sid, kMonitor);
    EXPECT_EQ(c.t, engine().trail()[c.index].t);

    // Back again: the newer crossing replaces it.
    stroke({1800, 500}, {1600, 500}, 10);
    ASSERT_TRUE(engine().crossing());
    EXPECT_EQ(engine().crossing()->side, Side::left);
    EXPECT_EQ(engine().crossing()->to.id, kPanel);
}

TEST_F(TrailTest, DraggingAndPausesClearTheCrossing) {
    stroke({1600, 500}, {1800, 500}, 10);
    ASSERT_TRUE(engine().crossing());
    move({1810, 500}, 10, 0, 0.01, true);
    EXPECT_FALSE(engine().crossing());
    EXPECT_TRUE(engine().trail().empty());
    // Dragging across the boundary records nothing either.
    for (int i = 0; i < 10; ++i) move({1810.0 - 20 * i, 500}, -20, 0, 0.01, true);
    EXPECT_FALSE(engine().crossing());

    stroke({1600, 500}, {1800, 500}, 10);
    ASSERT_TRUE(engine().crossing());
    move({1800, 510}, 0, 10, 0.45);
    EXPECT_FALSE(engine().crossing());
    EXPECT_EQ(engine().trail().size(), 1);
}

TEST_F(TrailTest, CapsAtSixHundredAndDropsTheCrossingWhenItsIndexShifts) {
    // 580 samples on the panel, then across: the crossing sits at index 585.
    for (int i = 0; i < 580; ++i) move({100.0 + (i % 2), 500}, 1, 0);
    stroke({1600, 500}, {1800, 500}, 10);
    ASSERT_TRUE(engine().crossing());
    EXPECT_EQ(engine().crossing()->index, 585);
    const double secondT = engine().trail()[1].t;
    for (int i = 0; i < 10; ++i) move({1800, 500.0 + i}, 0, 1);
    EXPECT_EQ(engine().trail().size(), 600);
    ASSERT_TRUE(engine().crossing());  // exactly 600: nothing dropped yet
    move({1800, 520}, 0, 1);
    EXPECT_EQ(engine().trail().size(), 600);
    EXPECT_FALSE(engine().crossing());
    EXPECT_EQ(engine().trail()[0].t, secondT);  // the oldest went
    EXPECT_EQ(engine().trail().back().p, (Point{1800, 520}));
    for (int i = 0; i < 1000; ++i) move({1800, 500.0 + (i % 7)}, 0, 1);
    EXPECT_EQ(engine().trail().size(), 600);
    EXPECT_EQ(engine().trail().back().p, (Point{1800, 500.0 + 999 % 7}));
}

TEST_F(TrailTest, NoCrossingDuringACooldownButExcursionsAreTracked) {
    engine().applyLayout({}, "layout");
    wait(1.0);
    stroke({1600, 500}, {1800, 500}, 10);
    EXPECT_FALSE(engine().crossing());
    EXPECT_TRUE(engine().excursion());
    wait(1.0);  // past the cooldown
    stroke({1800, 500}, {1600, 500}, 10);
    ASSERT_TRUE(engine().crossing());
    EXPECT_EQ(engine().crossing()->to.id, kPanel);
}

TEST_F(TrailTest, ADisplayGoneFromTheCacheRecordsNothing) {
    move({1800, 500});
    // The monitor is replaced by another one at the same place.
    server.removeDisplay(kMonitor);
    server.addDisplay({.id = 3, .frame = kMonitorFrame});
    engine().refresh();
    move({1790, 500}, -10, 0);
    EXPECT_FALSE(engine().crossing());
    EXPECT_FALSE(engine().excursion());
    move({1700, 500}, -90, 0);
    ASSERT_TRUE(engine().crossing());
    EXPECT_EQ(engine().crossing()->from.id, 3u);
}

using ExcursionTest = EngineTest;

TEST_F(ExcursionTest, BoundaryTapNeedsDepthAndAQuickReturn) {
    struct Case {
        const char* name;
        double depth;
        double away;  // seconds spent on the monitor
        bool enabled;
        bool tap;
    };
    const Case cases[] = {
        {"10 deep, quick", 10, 0.1, true, true},     {"exactly 8 deep", 8, 0.1, true, true},
        {"exactly 200 deep", 200, 0.1, true, true},  {"5 deep", 5, 0.1, true, false},
        {"250 deep", 250, 0.1, true, false},         {"back after 0.6 s", 10, 0.6, true, false},
        {"back after 0.49 s", 10, 0.49, true, true}, {"gestures off", 10, 0.1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine().enabled = c.enabled;
        const int before = logged("boundary tap");
        wait(2);
        move({1700, 300});
        move({1712, 300}, 12, 0);                                 // crossing, 2 deep
        move({1710 + c.depth, 300}, c.depth - 2, 0, c.away / 2);  // deepest point
        move({1700, 300}, -c.depth - 10, 0, c.away / 2);          // home again
        EXPECT_EQ(logged("boundary tap") - before, c.tap ? 1 : 0);
    }
    EXPECT_EQ(loggedWith("boundary tap").front(), "boundary tap side=right pos=300 depth=10");
}

TEST_F(ExcursionTest, ReturningToAnotherDisplayOrStayingIsNoTap) {
    move({1700, 300});
    move({1720, 300}, 20, 0);
    ASSERT_TRUE(engine().excursion());
    EXPECT_EQ(engine().excursion()->home.id, kPanel);
    EXPECT_EQ(engine().excursion()->awayId, kMonitor);
    EXPECT_EQ(engine().excursion()->pos, 300);
    EXPECT_EQ(engine().excursion()->depth, 10);
    move({1730, 320}, 10, 20, 0.3);
    EXPECT_EQ(engine().excursion()->depth, 20);
    move({1735, 320}, 5, 0, 0.3);  // 0.6 s over there: it ends
    EXPECT_FALSE(engine().excursion());
    move({1700, 320}, -35, 0);
    EXPECT_EQ(logged("boundary tap"), 0);
}

}  // namespace
}  // namespace seam
