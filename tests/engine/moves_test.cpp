// Engine moves: apply with pointer warp, connect, layouts and undo.
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "layouts/layout_plan.h"

namespace seam {
namespace {

using namespace seam::testing;

class MovesTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        engine().onMoved = [this](Side s, Point p) { moved.push_back({s, p}); };
        engine().onRefused = [this](Point p) { refused.push_back(p); };
    }
    struct Moved {
        Side side;
        Point at;
        bool operator==(const Moved&) const = default;
    };
    std::vector<Moved> moved;
    std::vector<Point> refused;
};

TEST_F(MovesTest, PlacingTheMainDisplayMovesTheOtherOneTheOppositeWay) {
    // Two push taps on the monitor's outer right edge put the panel, the main
    // display, to its right: the monitor moves left of the panel instead.
    pushAt({2989, 480}, 10, 0, 12);
    wait(0.3);
    pushAt({2989, 480}, 10, 0, 12);
    EXPECT_EQ(loggedWith("fire"),
              std::vector<std::string>{
                  "fire side=right pos=480 move id=2 (1710, 0) -> (-1280, 76) ok=true"});
    EXPECT_EQ(frame(kPanel).origin(), (Point{0, 0}));
    EXPECT_EQ(frame(kMonitor).origin(), (Point{-1280, 76}));
    EXPECT_EQ(engine().lastMoves(), (std::vector<Move>{{kMonitor, {1710, 0}}}));
    EXPECT_TRUE(server.warps().empty());

    wait(0.3);
    EXPECT_TRUE(server.warps().empty());
    wait(0.06);
    // 60 in from the new shared edge, at the tapped height.
    EXPECT_EQ(server.warps(), (std::vector<Point>{{60, 556}}));
    EXPECT_EQ(moved, (std::vector<Moved>{{Side::right, {60, 556}}}));
    EXPECT_EQ(
        loggedWith("after: "),
        std::vector<std::string>{"after: id=1[주] (0,0 1710x1112) | id=2 (-1280,76 1280x960)"});
    EXPECT_EQ(engine().cache(), arrangement.displays());
}

TEST_F(MovesTest, ConnectKeepsFortyPointsSharedAndWarpsOffTheEnds) {
    struct Case {
        const char* name;
        Side side;
        double aPos, bPos;
        Point origin;  // of the monitor afterwards
        Point target;  // where the pointer is put
    };
    const Case cases[] = {
        {"top, centred", Side::top, 855, 2350, {215, -960}, {855, -60}},
        {"top, 10 shared becomes 40", Side::top, 5, 2985, {-1240, -960}, {5, -60}},
        {"top, past the far end", Side::top, 1705, 1715, {1670, -960}, {1705, -60}},
        {"top, pointer kept 10 from the end", Side::top, 10, 1660, {60, -960}, {70, -60}},
        {"bottom, 10 from the other end", Side::bottom, 1669, 2989, {390, 1112}, {1660, 1172}},
        {"left", Side::left, 500, 480, {-1280, 20}, {-60, 500}},
        {"right, 40 shared", Side::right, 5, 955, {1710, -920}, {1770, 5}},
    };
    // Where clients may not warp, the move and its message stay; the warp goes.
    for (bool canWarp : {true, false})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (canWarp ? "" : ", no warp"));
            server.setCanWarp(canWarp);
            server.find(kMonitor)->frame = kMonitorFrame;
            moved.clear();
            const size_t warps = server.warps().size();
            engine().connect(kPanel, c.side, c.aPos, kMonitor, c.bPos);
            EXPECT_EQ(frame(kMonitor).origin(), c.origin);
            wait(0.4);
            ASSERT_EQ(server.warps().size(), warps + (canWarp ? 1 : 0));
            if (canWarp) {
                EXPECT_EQ(server.warps().back(), c.target);
            }
            EXPECT_EQ(moved, (std::vector<Moved>{{c.side, c.target}}));
        }
    EXPECT_EQ(loggedWith("connect").at(1),
              "connect side=top pos=5 move id=2 (1710, 0) -> (-1240, -960) ok=true");
}

TEST_F(MovesTest, ConnectNeedsTwoDistinctKnownDisplays) {
    engine().connect(kPanel, Side::top, 100, 7, 100);
    engine().connect(kMonitor, Side::top, 100, kMonitor, 1800);
    server.addDisplay({.id = 3, .frame = {2990, 0, 800, 600}});
    engine().connect(kPanel, Side::top, 100, kMonitor, 1800);
    wait(1);
    EXPECT_TRUE(server.transactions().empty());
    EXPECT_TRUE(engine().lastMoves().empty());
    EXPECT_TRUE(moved.empty());
    EXPECT_TRUE(logs.messages().empty());
}

TEST_F(MovesTest, AFailedMoveCoolsDownButNeitherWarpsNorReportsSuccess) {
    server.failComplete(true);
    server.setPointer({700, 20});
    engine().connect(kPanel, Side::top, 855, kMonitor, 2350);
    EXPECT_EQ(loggedWith("connect"),
              std::vector<std::string>{
                  "connect side=top pos=855 move id=2 (1710, 0) -> (215, -960) ok=false"});
    EXPECT_FALSE(engine().armed());
    EXPECT_EQ(engine().cooldownUntil(), clock.uptime() + 1.5);
    wait(0.4);
    EXPECT_EQ(frame(kMonitor), kMonitorFrame);
    EXPECT_EQ(logged("after: "), 1);
    EXPECT_TRUE(server.warps().empty());
    EXPECT_TRUE(moved.empty());
    EXPECT_EQ(refused, (std::vector<Point>{{700, 20}}));  // where the pointer still is
    // Undo is still offered, in case the server took part of it.
    EXPECT_EQ(engine().lastMoves(), (std::vector<Move>{{kMonitor, {1710, 0}}}));
}

// A refused undo keeps its step for another try; a done one is gone.
TEST_F(MovesTest, UndoIsOneLevelDeep) {
    EXPECT_EQ(engine().undo(), UndoOutcome::nothing);
    EXPECT_TRUE(server.transactions().empty());

    engine().connect(kPanel, Side::top, 855, kMonitor, 2350);
    wait(1);
    const Rect placed = frame(kMonitor);
    server.failBegin(true);
    EXPECT_EQ(engine().undo(), UndoOutcome::refused);
    EXPECT_EQ(frame(kMonitor), placed);
    server.failBegin(false);
    wait(1);
    stroke({855, 300}, {855, -100}, 10);  // up into the monitor
    ASSERT_TRUE(engine().crossing());
    EXPECT_EQ(engine().undo(), UndoOutcome::undone);
    EXPECT_FALSE(engine().crossing());  // tracked on the arrangement just undone
    EXPECT_EQ(server.transactions().back(), (std::vector<DisplayMove>{{kMonitor, 1710, 0}}));
    EXPECT_EQ(frame(kMonitor), kMonitorFrame);
    EXPECT_EQ(loggedWith("undo"), (std::vector<std::string>{"undo id=2->(1710,0) ok=false",
                                                            "undo id=2->(1710,0) ok=true"}));
    const size_t warps = server.warps().size();
    const size_t transactions = server.transactions().size();
    EXPECT_EQ(engine().undo(), UndoOutcome::nothing);
    wait(1);
    EXPECT_EQ(server.warps().size(), warps);  // undo leaves the pointer alone
    EXPECT_EQ(server.transactions().size(), transactions);
    EXPECT_TRUE(refused.empty());
}

TEST_F(MovesTest, LayoutRemembersEveryDisplayButMirrors) {
    // A projector mirroring the monitor.
    server.addDisplay({.id = 3, .frame = kMonitorFrame, .mirrorOf = kMonitor});
    engine().refresh();
    const std::vector<Move> layout{{kPanel, {0, 0}}, {kMonitor, {-1280, 100}}, {3, {-1280, 100}}};
    EXPECT_TRUE(engine().applyLayout(layout, "layout \"Desk\""));
    EXPECT_EQ(engine().lastMoves(), (std::vector<Move>{{kPanel, {0, 0}}, {kMonitor, {1710, 0}}}));
    EXPECT_EQ(
        loggedWith("layout"),
        std::vector<std::string>{
            "layout \"Desk\" before id=1[주] (0,0 1710x1112) | id=2 (1710,0 1280x960) | id=3 "
            "(1710,0 1280x960) move id=1->(0,0) id=2->(-1280,100) id=3->(-1280,100) ok=true"});
    EXPECT_EQ(logged("after: "), 0);
    wait(0.4);
    EXPECT_EQ(
        loggedWith("after: "),
        std::vector<std::string>{"after: id=1[주] (0,0 1710x1112) | id=2 (-1280,100 1280x960) | "
                                 "id=3 (-1280,100 1280x960)"});
    EXPECT_TRUE(server.warps().empty());

    EXPECT_EQ(engine().undo(), UndoOutcome::undone);
    EXPECT_EQ(server.transactions().back(),
              (std::vector<DisplayMove>{{kPanel, 0, 0}, {kMonitor, 1710, 0}}));
    // Named nowhere, the mirror still goes back with its source.
    EXPECT_EQ(frame(3).origin(), (Point{1710, 0}));
    EXPECT_EQ(engine().undo(), UndoOutcome::nothing);
}

TEST_F(MovesTest, ScreenChangesRefreshTheCacheOnceSettled) {
    engine();
    // Another program moved the monitor.
    server.find(kMonitor)->frame.y = 200;
    engine().screensChanged();
    wait(0.29);
    EXPECT_EQ(engine().cache().at(1).f, kMonitorFrame);
    wait(0.02);
    EXPECT_EQ(engine().cache(), arrangement.displays());
    EXPECT_EQ(engine().cache().at(1).f.y, 200);
}

// Undo offers the places from before the layout, not also those of an earlier move.
TEST_F(MovesTest, AFailedLayoutCanStillBeUndone) {
    engine().connect(kPanel, Side::top, 855, kMonitor, 2350);
    wait(2);
    const Point placed = frame(kMonitor).origin();
    server.failMoveNumber(2);
    EXPECT_FALSE(engine().applyLayout({{kPanel, {0, 0}}, {kMonitor, {-1280, 0}}}, "apply"));
    ASSERT_EQ(loggedWith("apply before").size(), 1u);
    EXPECT_TRUE(loggedWith("apply before")[0].ends_with(" ok=false"));
    EXPECT_EQ(frame(kMonitor).origin(), placed);
    EXPECT_EQ(engine().lastMoves(), (std::vector<Move>{{kPanel, {0, 0}}, {kMonitor, placed}}));
    server.failMoveNumber(0);
    EXPECT_EQ(engine().undo(), UndoOutcome::undone);
    EXPECT_EQ(frame(kMonitor).origin(), placed);
}

TEST_F(MovesTest, APlannedLayoutThatChangesTheMainDisplayIsUndoneWhole) {
    const DisplayIdent panelIdent{
        .vendor = 1552, .model = 41234, .serialNumber = 12345, .builtin = true};
    const DisplayIdent monitorIdent{.vendor = 19501, .model = 2073, .serialNumber = 777001};
    const SavedLayout desk{
        .id = "L",
        .name = "Desk",
        .displays = {
            {.ident = monitorIdent, .x = 0, .y = 0, .width = 1280, .height = 960, .main = true},
            {.ident = panelIdent, .x = 1280, .y = -100, .width = 1710, .height = 1112}}};
    const std::vector<LiveDisplay> live{
        {.id = kPanel, .ident = panelIdent, .name = "panel", .frame = kPanelFrame, .isMain = true},
        {.id = kMonitor, .ident = monitorIdent, .name = "monitor", .frame = kMonitorFrame}};
    const auto plan = planLayout(desk, live);
    ASSERT_TRUE(plan);
    EXPECT_TRUE(engine().applyLayout(plan->moves, "layout \"Desk\""));
    EXPECT_EQ(arrangement.mainDisplay(), kMonitor);
    EXPECT_EQ(frame(kMonitor).origin(), (Point{0, 0}));
    EXPECT_EQ(frame(kPanel).origin(), (Point{1280, -100}));
    wait(0.4);
    EXPECT_EQ(engine().cache(), arrangement.displays());

    EXPECT_EQ(engine().undo(), UndoOutcome::undone);
    EXPECT_EQ(arrangement.mainDisplay(), kPanel);
    EXPECT_EQ(frame(kPanel), kPanelFrame);
    EXPECT_EQ(frame(kMonitor), kMonitorFrame);
}

TEST_F(MovesTest, ALayoutEndsTheGestureAndCoolsDown) {
    pushAt({855, 0}, 0, -10, 12);
    ASSERT_TRUE(engine().aim());
    ASSERT_TRUE(bar->visible);
    stroke({1600, 500}, {1800, 500}, 10);
    ASSERT_TRUE(engine().crossing());
    engine().applyLayout({{kMonitor, {1710, 0}}}, "layout");
    EXPECT_FALSE(engine().aim());
    EXPECT_FALSE(bar->visible);
    EXPECT_FALSE(engine().crossing());
    EXPECT_FALSE(engine().excursion());
    EXPECT_TRUE(engine().trail().empty());
    // Nothing fires within the cooldown, however the pointer pushes.
    pushAt({0, 500}, -10, 0, 140);
    stroke({1600, 500}, {1800, 500}, 5);
    EXPECT_EQ(logged("tap1 aim"), 1);
    EXPECT_FALSE(engine().crossing());
}

}  // namespace
}  // namespace seam
