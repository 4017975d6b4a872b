// Push taps, boundary taps and the two-tap gesture.
#include <gtest/gtest.h>

#include <cmath>

#include "engine_fixture.h"

namespace seam {
namespace {

using namespace seam::testing;

class EdgeTapTest : public EngineTest {
  protected:
    int taps() const { return logged("tap1 aim") + logged("tap2 commit"); }
    // Twelve pushes of 10 against the top edge of the panel at x.
    void pushTop(double x) { pushAt({x, 0}, 0, -10, 12); }
    // A poke 20 points into the monitor and straight back, at height y.
    void poke(double y) {
        move({1700, y});
        move({1712, y}, 12, 0);
        move({1730, y}, 18, 0);
        move({1700, y}, -30, 0);
    }
};

TEST_F(EdgeTapTest, PushFiresOnceOnTheTwelfthPushOfTen) {
    pushAt({2989, 400}, 10, 0, 11);
    EXPECT_EQ(taps(), 0);
    pushAt({2989, 400}, 10, 0, 1);
    EXPECT_EQ(loggedWith("tap1 aim"),
              std::vector<std::string>{"tap1 aim side=right pos=400 accum=120"});
    pushAt({2989, 400}, 10, 0, 30);
    EXPECT_EQ(taps(), 1);
    ASSERT_TRUE(engine().push());
    EXPECT_TRUE(engine().push()->counted);
    // Resting on the edge keeps the session; pushing on does not fire again.
    move({2989, 410}, 0, 10, 0.2);
    pushAt({2989, 410}, 10, 0, 12);
    EXPECT_EQ(taps(), 1);
}

TEST_F(EdgeTapTest, PushReArmsAfterLeavingTheEdgeOrPausing) {
    struct Case {
        const char* name;
        double pause;
        bool leave;
        int taps;
    };
    const Case cases[] = {
        {"leaves the edge", 0.01, true, 2},
        {"pauses 0.26 s", 0.26, false, 2},
        {"pauses 0.2 s", 0.2, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = taps();
        wait(10);  // apart from the previous case and any aim
        // Different heights so the second tap re-aims instead of moving the display.
        pushAt({2989, 100}, 10, 0, 12);
        if (c.leave) move({2900, 100}, -89, 0);
        pushAt({2989, 900}, 10, 0, 1, c.pause);
        pushAt({2989, 900}, 10, 0, 11);
        EXPECT_EQ(taps() - before, c.taps);
    }
}

TEST_F(EdgeTapTest, SecondTapCommitsOnlyNearTheFirst) {
    struct Case {
        double second;
        bool commit;
    };
    for (const Case c : {Case{1300, true}, Case{1400, false}}) {
        SCOPED_TRACE(c.second);
        server.find(kMonitor)->frame = kMonitorFrame;
        engine().refresh();
        wait(5);
        pushTop(855);
        wait(0.3);
        pushTop(c.second);
        if (c.commit) {
            EXPECT_EQ(loggedWith("tap2 commit").back(),
                      "tap2 commit side=top pos=1300 first=855 accum=120");
            const Point n = computeOrigin(Side::top, 1300, kPanelFrame, kMonitorFrame);
            EXPECT_EQ(frame(kMonitor).origin(), (Point{std::round(n.x), -960}));
            EXPECT_FALSE(engine().aim());
            EXPECT_FALSE(bar->visible);
        } else {
            EXPECT_EQ(loggedWith("tap1 aim").back(),
                      "tap1 aim side=top pos=1400 accum=120 (re-aim)");
            EXPECT_EQ(frame(kMonitor), kMonitorFrame);
            ASSERT_TRUE(engine().aim());
            EXPECT_EQ(engine().aim()->pos, 1400);
        }
    }
}

TEST_F(EdgeTapTest, EachKindOfTapHasItsOwnWindow) {
    struct Case {
        const char* name;
        bool push;
        double apart;
        bool commit;
    };
    const Case cases[] = {
        {"boundary taps 1.6 s apart", false, 1.6, false},
        {"boundary taps 1.4 s apart", false, 1.4, true},
        {"push taps 2.9 s apart", true, 2.9, true},
        {"push taps 3.1 s apart", true, 3.1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.find(kMonitor)->frame = kMonitorFrame;
        engine().refresh();
        wait(5);
        const int commits = logged("tap2 commit");
        if (c.push) {
            pushTop(855);
            wait(c.apart - 0.12);  // the second tap lands on its twelfth event
            pushTop(855);
        } else {
            poke(500);
            wait(c.apart - 0.04);  // the second tap lands on its return, 0.04 s in
            poke(500);
        }
        EXPECT_EQ(logged("tap2 commit") - commits, c.commit ? 1 : 0);
    }
}

TEST_F(EdgeTapTest, ATapOnAnotherDisplayOrSideReAims) {
    pushTop(855);
    wait(0.3);
    pushAt({2000, 0}, 0, -10, 12);  // top edge of the monitor
    wait(0.3);
    pushAt({0, 500}, -10, 0, 12);  // left edge of the panel
    EXPECT_EQ(logged("tap2 commit"), 0);
    EXPECT_EQ(loggedWith("tap1 aim"),
              (std::vector<std::string>{"tap1 aim side=top pos=855 accum=120",
                                        "tap1 aim side=top pos=2000 accum=120 (re-aim)",
                                        "tap1 aim side=left pos=500 accum=120 (re-aim)"}));
    EXPECT_EQ(server.transactions().size(), 0u);
}

TEST_F(EdgeTapTest, FirstTapShowsThePreviewAndAClickCancelsIt) {
    pushTop(855);
    ASSERT_EQ(bar->shown.size(), 1u);
    const auto& s = bar->shown[0];
    EXPECT_EQ(s.side, Side::top);
    // The monitor centred over x = 855 would span 215 ... 1495.
    EXPECT_EQ(s.span, (std::pair<double, double>{215, 1495}));
    EXPECT_EQ(s.marker, 855);
    EXPECT_EQ(s.on, kPanelFrame);
    EXPECT_EQ(s.seconds, 3.0);
    EXPECT_TRUE(bar->visible);

    engine().click({400, 400});
    EXPECT_EQ(logged("aim cancelled by click"), 1);
    EXPECT_FALSE(engine().aim());
    EXPECT_FALSE(bar->visible);
    // The next tap at the same place is a first tap again.
    wait(0.3);
    pushTop(855);
    EXPECT_EQ(logged("tap2 commit"), 0);
    engine().click({400, 400});
    engine().click({400, 400});
    EXPECT_EQ(logged("aim cancelled by click"), 2);
}

TEST_F(EdgeTapTest, AfterACommitGesturesWaitForCooldownAndRest) {
    pushTop(855);
    wait(0.3);
    pushTop(855);
    ASSERT_EQ(logged("tap2 commit"), 1);
    EXPECT_FALSE(engine().armed());
    const int before = taps();
    // Pushing on without a pause, through the cooldown and beyond it.
    pushAt({0, 500}, -10, 0, 200);
    // A poke up into the monitor, which now sits above the panel.
    for (double y : {5.0, -12.0, -20.0, 5.0}) move({855, y}, 0, y < 0 ? -10 : 25);
    EXPECT_EQ(taps(), before);
    EXPECT_FALSE(engine().armed());
    pushAt({0, 500}, -10, 0, 1, 0.14);
    EXPECT_FALSE(engine().armed());
    // A rest of 0.15 s between two events re-arms.
    pushAt({0, 500}, -10, 0, 1, 0.16);
    EXPECT_TRUE(engine().armed());
    pushAt({0, 500}, -10, 0, 11);
    EXPECT_EQ(taps(), before + 1);
}

TEST_F(EdgeTapTest, GesturesOffDetectNothing) {
    engine().enabled = false;
    pushTop(855);
    poke(500);
    EXPECT_EQ(taps(), 0);
    EXPECT_FALSE(engine().push());
}

}  // namespace
}  // namespace seam
