// Automatic alignment from the user's corrections after crossings.
#include <gtest/gtest.h>

#include "engine_fixture.h"

namespace seam {
namespace {

using namespace seam::testing;

class AutoAlignTest : public EngineTest {
  protected:
    // A quick stroke over the boundary at height y, a short rest, then a slow
    // correction of corr along the edge and a click where it ends.
    void crossAndCorrect(bool intoMonitor, double corr, double y = 500, double clickAfter = 0.05) {
        wait(1);
        const Point from{intoMonitor ? 1500.0 : 2000.0, y};
        const Point to{intoMonitor ? 1800.0 : 1700.0, y};
        stroke(from, to, 10);
        wait(0.1);
        stroke(to, {to.x, y + corr}, 5, 0.05);
        wait(clickAfter);
        engine().click({to.x, y + corr});
    }
    // Six crossings into the monitor whose corrections ask for these shifts.
    void learn(const std::vector<double>& shifts) {
        for (double s : shifts) crossAndCorrect(true, -s);
    }
    std::vector<std::string> applied() const { return loggedWith("align apply"); }
};

TEST_F(AutoAlignTest, SampleSignFollowsTheDisplayEntered) {
    crossAndCorrect(true, -60);
    crossAndCorrect(false, 60);
    EXPECT_EQ(engine().shifts(), (std::vector<double>{60, 60}));
    EXPECT_EQ(
        loggedWith("align sample"),
        (std::vector<std::string>{"align sample side=right corr=-60 shift=60 n=1 all=[60]",
                                  "align sample side=left corr=60 shift=60 n=2 all=[60, 60]"}));
}

TEST_F(AutoAlignTest, TheStrokeEndsWhereItSlowsBelowAQuarterOfItsPeak) {
    stroke({1500, 500}, {1800, 500}, 10);  // 3000 points/s
    for (double step : {15, 8, 4}) move({engine().trail().back().p.x + step, 500}, step, 0);
    // No pause: the slow correction follows at once.
    stroke({1827, 500}, {1827, 450}, 5, 0.05);
    engine().click({1827, 450});
    EXPECT_EQ(loggedWith("align sample"),
              std::vector<std::string>{"align sample side=right corr=-50 shift=50 n=1 all=[50]"});
}

TEST_F(AutoAlignTest, SixAgreeingSamplesMoveTheMonitorPartOfTheWay) {
    struct Case {
        const char* name;
        std::vector<double> shifts;
        std::optional<double> step;
    };
    const Case cases[] = {
        {"median 50", {50, 50, 50, 50, 50, 50}, 30},
        {"only four of six agree", {100, 100, 100, 100, -20, -20}, std::nullopt},
        {"median 300 is limited", {300, 300, 300, 300, 300, 300}, 150},
        {"median -300 is limited", {-300, -300, -300, -300, -300, -300}, -150},
        {"median 39", {39, 39, 39, 39, 39, 39}, std::nullopt},
        {"median 40", {40, 40, 40, 40, 40, 40}, 24},
        {"median of mixed samples", {80, 20, 60, 100, 40, 70}, 39},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.find(kMonitor)->frame = kMonitorFrame;
        resetEngine();
        const size_t before = server.transactions().size();
        learn({c.shifts.begin(), c.shifts.end() - 1});
        wait(2);
        EXPECT_EQ(server.transactions().size(), before);  // five are not enough
        learn({c.shifts.back()});
        wait(2);
        if (c.step) {
            ASSERT_EQ(server.transactions().size(), before + 1);
            EXPECT_EQ(frame(kMonitor).origin(), (Point{1710, *c.step}));
            EXPECT_EQ(applied().back(), "align apply step=" + std::to_string(int(*c.step)) +
                                            " (1710, 0) -> (1710, " + std::to_string(int(*c.step)) +
                                            ") ok=true");
            EXPECT_TRUE(engine().shifts().empty());
            EXPECT_EQ(engine().lastMoves(), (std::vector<Move>{{kMonitor, {1710, 0}}}));
        } else {
            EXPECT_EQ(server.transactions().size(), before);
            EXPECT_EQ(engine().shifts().size(), 6u);
        }
    }
}

TEST_F(AutoAlignTest, KeepsTheEightNewestSamples) {
    learn({-30, -30, -30, 50, 50, 50, 50, 50});
    wait(2);
    EXPECT_TRUE(server.transactions().empty());  // 5 of 8 agree
    // The oldest goes: 6 of 8 agree now, where 6 of 9 would not.
    learn({50});
    EXPECT_EQ(
        loggedWith("align sample").back(),
        "align sample side=right corr=-50 shift=50 n=8 all=[-30, -30, 50, 50, 50, 50, 50, 50]");
    wait(2);
    EXPECT_EQ(frame(kMonitor).origin(), (Point{1710, 30}));
}

TEST_F(AutoAlignTest, UnusableClicksAreDroppedAndStillUseUpTheCrossing) {
    struct Case {
        const char* name;
        std::function<void()> act;
        const char* log;  // the skip line, if any
    };
    const Case cases[] = {
        {"click 2.6 s after the crossing", [&] { crossAndCorrect(true, -60, 500, 2.6 - 0.35); },
         nullptr},
        {"click on the display the pointer came from",
         [&] {
             stroke({1500, 500}, {1800, 500}, 10);
             engine().click({1600, 500});
         },
         nullptr},
        {"automatic alignment off",
         [&] {
             engine().autoAlign = false;
             crossAndCorrect(true, -60);
             engine().autoAlign = true;
         },
         nullptr},
        {"stroke too short",
         [&] {
             stroke({1650, 500}, {1770, 500}, 12);
             engine().click({1770, 500});
         },
         "align skip (crossIdx=5 end=11 travel=110)"},
        {"stroke stopped before it crossed",
         [&] {
             stroke({1400, 500}, {1700, 500}, 10);
             wait(0.1);
             stroke({1700, 500}, {1750, 500}, 5, 0.05);
             engine().click({1750, 500});
         },
         "align skip (crossIdx=10 end=9 travel=320)"},
        {"correction of 401", [&] { crossAndCorrect(true, -401); }, "align skip outlier corr=-401"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wait(1);
        const size_t lines = logs.messages().size();
        c.act();
        EXPECT_FALSE(engine().crossing());
        EXPECT_TRUE(engine().shifts().empty());
        const auto messages = logs.messages();
        if (c.log)
            EXPECT_EQ(std::vector<std::string>(messages.begin() + lines, messages.end()),
                      std::vector<std::string>{c.log});
        else
            EXPECT_EQ(messages.size(), lines);
    }
    crossAndCorrect(true, -400);
    EXPECT_EQ(engine().shifts(), std::vector<double>{400});
}

TEST_F(AutoAlignTest, RefusesAStepThatLeavesTooLittleSharedEdge) {
    // 212 points shared; a step of 30 would leave 182, below a fifth of 960.
    server.find(kMonitor)->frame = {1710, 900, 1280, 960};
    for (int i = 0; i < 6; ++i) crossAndCorrect(true, -50, 1000);
    wait(2);
    EXPECT_EQ(logged("align blocked: overlap too thin"), 1);
    EXPECT_TRUE(engine().shifts().empty());
    EXPECT_TRUE(server.transactions().empty());
    EXPECT_TRUE(engine().lastMoves().empty());
}

TEST_F(AutoAlignTest, AFailedStepLeavesThePointerAndReportsNothing) {
    int aligned = 0;
    engine().onAligned = [&](double, bool, Point) { ++aligned; };
    server.failComplete(true);
    server.setPointer({2000, 470});
    learn({50, 50, 50, 50, 50, 50});
    wait(2);
    EXPECT_EQ(applied(),
              std::vector<std::string>{"align apply step=30 (1710, 0) -> (1710, 30) ok=false"});
    EXPECT_EQ(frame(kMonitor), kMonitorFrame);
    EXPECT_TRUE(engine().shifts().empty());
    EXPECT_TRUE(server.warps().empty());
    EXPECT_EQ(aligned, 0);
}

TEST_F(AutoAlignTest, WaitsForThePointerToRestAndGivesUpAfterTwentyTries) {
    struct Case {
        double movingFor;
        bool moved;
    };
    for (const Case c : {Case{4.5, true}, Case{4.8, false}}) {
        SCOPED_TRACE(c.movingFor);
        server.find(kMonitor)->frame = kMonitorFrame;
        resetEngine();
        learn({50, 50, 50, 50, 50});
        wait(1);
        const size_t before = server.transactions().size();
        crossAndCorrect(true, -50, 500, 0);
        // The pointer keeps moving on the panel.
        for (double t = 0.1; t <= c.movingFor + 1e-9; t += 0.1) move({300 + t, 300}, 1, 0, 0.1);
        wait(10);
        EXPECT_EQ(server.transactions().size(), before + (c.moved ? 1 : 0));
    }
}

TEST_F(AutoAlignTest, ThePointerOnTheMovedDisplayMovesWithIt) {
    struct Case {
        Point pointer;
        Point reported;
        bool warped;
    };
    for (const Case c :
         {Case{{2000, 470}, {2000, 500}, true}, Case{{300, 300}, {300, 300}, false}}) {
        server.find(kMonitor)->frame = kMonitorFrame;
        resetEngine();
        std::vector<std::tuple<double, bool, Point>> aligned;
        engine().onAligned = [&](double step, bool h, Point p) {
            aligned.emplace_back(step, h, p);
        };
        learn({50, 50, 50, 50, 50, 50});
        server.setPointer(c.pointer);
        const size_t warps = server.warps().size();
        wait(2);
        EXPECT_EQ(aligned, (std::vector<std::tuple<double, bool, Point>>{{30, false, c.reported}}));
        EXPECT_EQ(server.warps().size(), warps + (c.warped ? 1 : 0));
        if (c.warped) {
            EXPECT_EQ(server.warps().back(), c.reported);
        }
    }
}

}  // namespace
}  // namespace seam
