#include "geometry/arrangement.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/dry_run.h"
#include "base/text.h"
#include "platform/sim/sim_display_server.h"
#include "support/log_capture.h"

namespace seam {
namespace {

class ArrangementTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server.addDisplay({.id = 1, .frame = {0, 0, 1710, 1112}, .builtin = true});
        server.addDisplay({.id = 2, .frame = {1710, 0, 1280, 960}});
    }
    void TearDown() override {
        overrideDryRun(std::nullopt);
        setKorean(false);
    }
    Rect frameOf(std::uint32_t id) {
        for (const Disp& d : arrangement.displays())
            if (d.id == id) return d.f;
        ADD_FAILURE() << "no display " << id;
        return {};
    }

    SimDisplayServer server;
    Arrangement arrangement{server};
};

TEST_F(ArrangementTest, RoundsHalvesAwayFromZero) {
    struct Case {
        Point in;
        std::int32_t x, y;
    };
    const Case cases[] = {{{100.5, -0.5}, 101, -1},
                          {{-100.5, 0.4}, -101, 0},
                          {{1709.49, 2.5}, 1709, 3},
                          {{-0.4, -1.5}, 0, -2}};
    for (const Case& c : cases) {
        ASSERT_TRUE(arrangement.setOrigin(2, c.in));
        EXPECT_EQ(server.transactions().back(), (std::vector<DisplayMove>{{2, c.x, c.y}}));
        EXPECT_EQ(frameOf(2).origin(), (Point{double(c.x), double(c.y)}));
    }
}

TEST_F(ArrangementTest, OutOfRangeOriginFailsWithoutTouchingServer) {
    EXPECT_FALSE(arrangement.setOrigins({{2, {3e9, 0}}}));
    EXPECT_FALSE(arrangement.setOrigins({{2, {0, std::nan("")}}}));
    EXPECT_TRUE(server.transactions().empty());
    EXPECT_EQ(frameOf(2).origin(), (Point{1710, 0}));
    EXPECT_TRUE(arrangement.setOrigins({}));
}

// A refusal at the second move or at the end leaves both where they were.
TEST_F(ArrangementTest, AFailedMoveMovesNothing) {
    server.addDisplay({.id = 3, .frame = {-800, 0, 800, 600}});
    for (const bool atCompletion : {false, true}) {
        SCOPED_TRACE(atCompletion);
        server.failMoveNumber(atCompletion ? 0 : 2);
        server.failComplete(atCompletion);
        EXPECT_FALSE(arrangement.setOrigins({{2, {1710, 100}}, {3, {-800, 200}}}));
        EXPECT_EQ(frameOf(2).origin(), (Point{1710, 0}));
        EXPECT_EQ(frameOf(3).origin(), (Point{-800, 0}));
    }
    server.failComplete(false);
    EXPECT_TRUE(arrangement.setOrigins({{2, {1710, 100}}, {3, {-800, 200}}}));
    EXPECT_EQ(frameOf(3).origin(), (Point{-800, 200}));
}

TEST_F(ArrangementTest, DryRunLogsAndLeavesDisplays) {
    testing::LogCapture logs;
    overrideDryRun(true);
    const auto before = arrangement.displays();
    EXPECT_TRUE(arrangement.setOrigins({{2, {-10.7, 5.2}}, {1, {3, 4}}}));
    EXPECT_EQ(arrangement.displays(), before);
    EXPECT_TRUE(server.transactions().empty());
    EXPECT_EQ(logs.messages(),
              (std::vector<std::string>{"dry-run would configure id=2->(-10,5) id=1->(3,4)"}));
}

TEST_F(ArrangementTest, TextsForLogsAndNames) {
    EXPECT_EQ(movesText({}), "");
    EXPECT_EQ(movesText({{2, {1750.9, -0.9}}, {3, {-1.5, 7}}}), "id=2->(1750,0) id=3->(-1,7)");
    EXPECT_EQ(arrangement.describe(arrangement.displays()),
              "id=1[주] (0,0 1710x1112) | id=2 (1710,0 1280x960)");
    EXPECT_EQ(arrangement.describe({}), "");
    EXPECT_EQ(arrangement.screenName(1), "Laptop");
    EXPECT_EQ(arrangement.screenName(2), "monitor");
    setKorean(true);
    EXPECT_EQ(arrangement.screenName(1), "노트북");
    EXPECT_EQ(arrangement.screenName(2), "모니터");
}

}  // namespace
}  // namespace seam
