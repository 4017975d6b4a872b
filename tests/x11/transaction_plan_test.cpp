// Planning a configuration from a RandR snapshot made by hand: which CRTCs
// move where, how large the screen must be, and where the pointer goes.
#include <gtest/gtest.h>

#include <vector>

#include "platform/x11/x11_transaction.h"

namespace seam {
namespace {

constexpr RROutput kPanel = 10, kExternal = 11, kThird = 12;
constexpr RRCrtc kPanelCrtc = 100, kExternalCrtc = 101, kThirdCrtc = 102;
const ScreenLimits kLimits{64, 64, 32767, 32767};

// The panel at (0,0) and the external to its right; the third output as given.
ScreenState laptop(bool thirdConnected, int thirdX, int thirdY, unsigned thirdW, unsigned thirdH) {
    ScreenState s;
    s.outputs = {{kPanel, "DUMMY0", true, kPanelCrtc},
                 {kExternal, "DUMMY1", true, kExternalCrtc},
                 {kThird, "DUMMY2", thirdConnected, kThirdCrtc}};
    s.crtcs = {{kPanelCrtc, 0, 0, 1710, 1112, 1, RR_Rotate_0, {kPanel}},
               {kExternalCrtc, 1710, 0, 1280, 960, 1, RR_Rotate_0, {kExternal}},
               {kThirdCrtc, thirdX, thirdY, thirdW, thirdH, 1, RR_Rotate_0, {kThird}}};
    s.primary = kPanel;
    return s;
}

struct Size {
    int w, h;
    bool operator==(const Size&) const = default;
};

std::vector<std::pair<RRCrtc, RootPoint>> movesOf(const ConfigPlan& p) {
    std::vector<std::pair<RRCrtc, RootPoint>> out;
    for (const CrtcMove& m : p.moves) out.push_back({m.crtc, {m.x, m.y}});
    return out;
}

TEST(PlanConfigurationTest, LeftoverCrtcsKeepTheirRoomAndOnlyEqualRectanglesMirror) {
    struct Case {
        const char* name;
        ScreenState state;
        std::vector<DisplayMove> moves;
        std::vector<std::pair<RRCrtc, RootPoint>> crtcMoves;
        Size grown, final;
    };
    // clang-format off
    const Case cases[] = {
        {"leftover below: the screen keeps its height", laptop(false, 0, 1112, 1280, 960),
         {{kExternal, 1710, 200}}, {{kExternalCrtc, {1710, 200}}}, {2990, 2072}, {2990, 2072}},
        {"same origin, other size: no mirror", laptop(true, 1710, 0, 1024, 768),
         {{kExternal, 0, 1112}}, {{kExternalCrtc, {0, 1112}}}, {2990, 2072}, {2734, 2072}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto plan = planConfiguration(c.state, 2990, 1112, kLimits, c.moves);
        ASSERT_TRUE(plan);
        EXPECT_EQ(movesOf(*plan), c.crtcMoves);
        EXPECT_EQ((Size{plan->width, plan->height}), c.grown);
        EXPECT_EQ((Size{plan->finalWidth, plan->finalHeight}), c.final);
        EXPECT_EQ(plan->primary, kPanel);
    }
    // A leftover CRTC is no display: it cannot be named.
    EXPECT_FALSE(planConfiguration(laptop(false, 2990, 0, 1280, 960), 4270, 1112, kLimits,
                                   {{kThird, 0, 1112}}));
}

TEST(PointerAfterTest, StaysOnTheSameSpotOfItsMonitor) {
    ScreenState unlit = laptop(false, 0, 0, 0, 0);
    unlit.crtcs[2].mode = 0;
    // The external goes left of the panel: both CRTCs move in root space.
    const auto left = planConfiguration(unlit, 2990, 1112, kLimits, {{kExternal, -1280, 0}});
    // The external goes below: only it moves.
    const auto below = planConfiguration(unlit, 2990, 1112, kLimits, {{kExternal, 0, 1112}});
    ASSERT_TRUE(left && below);
    struct Case {
        const char* name;
        const ConfigPlan& plan;
        RootPoint before;
        std::optional<RootPoint> after;
    };
    // clang-format off
    const Case cases[] = {
        {"below the external, on no monitor: follows main", *left, {2000, 1000},
         RootPoint{3280, 1000}},
        {"on the external, which moved down", *below, {1711, 959}, RootPoint{1, 2071}},
    };
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(pointerAfter(unlit, c.plan, c.before), c.after) << c.name;
}

}  // namespace
}  // namespace seam
