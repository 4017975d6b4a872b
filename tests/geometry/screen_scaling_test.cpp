// Root pixels to the toolkit's logical units and back, on a laptop panel
// (1710x1112 at the root origin) next to an external monitor (1280x960 at x=1710),
// with the ratios Qt gives them under the usual ways of scaling.
#include "platform/screen_scaling.h"

#include <gtest/gtest.h>

#include <cmath>

namespace seam {
namespace {

const Rect kPanel{0, 0, 1710, 1112};
const Rect kExternal{1710, 0, 1280, 960};

// Qt's geometry of a screen: the native top-left, the size shrunk by the ratio.
ScaledScreen screen(const Rect& root, double ratio, double logicalW, double logicalH) {
    return {{root.x, root.y, logicalW, logicalH}, root.origin(), ratio};
}

struct Scaling {
    const char* name;
    std::vector<ScaledScreen> screens;
};

const Scaling kOne{"1", {screen(kPanel, 1, 1710, 1112), screen(kExternal, 1, 1280, 960)}};
const Scaling kTwo{"2", {screen(kPanel, 2, 855, 556), screen(kExternal, 2, 640, 480)}};
const Scaling kMixed{"2+1", {screen(kPanel, 2, 855, 556), screen(kExternal, 1, 1280, 960)}};
const Scaling kQuarter{"1.25",
                       {screen(kPanel, 1.25, 1368, 890), screen(kExternal, 1.25, 1024, 768)}};
const Scaling kHalf{"1.5", {screen(kPanel, 1.5, 1140, 741), screen(kExternal, 1.5, 853, 640)}};

// How Qt turns a window's logical geometry on a screen into root pixels.
Rect toRoot(const ScaledScreen& s, const Rect& logical) {
    const auto px = [&](double v) { return std::floor(v * s.ratio + 0.5); };
    return {s.rootOrigin.x + px(logical.x - s.logical.x),
            s.rootOrigin.y + px(logical.y - s.logical.y), px(logical.width), px(logical.height)};
}

TEST(ScreenScaling, EachMonitorsWindowCoversExactlyItsMonitor) {
    struct Case {
        const Scaling& scaling;
        Rect monitor;
        std::size_t screen;
        Rect logical;
        Rect lands;                                 // what the server gets from the toolkit
        std::optional<Rect> native = std::nullopt;  // what it must be told instead
    };
    const Case cases[] = {
        {kOne, kPanel, 0, {0, 0, 1710, 1112}, kPanel},
        {kOne, kExternal, 1, {1710, 0, 1280, 960}, kExternal},
        {kTwo, kPanel, 0, {0, 0, 855, 556}, kPanel},
        {kTwo, kExternal, 1, {1710, 0, 640, 480}, kExternal},
        {kMixed, kPanel, 0, {0, 0, 855, 556}, kPanel},
        {kMixed, kExternal, 1, {1710, 0, 1280, 960}, kExternal},
        {kHalf, kPanel, 0, {0, 0, 1140, 741}, kPanel},
        {kHalf, kExternal, 1, {1710, 0, 853, 640}, kExternal},
        // 1112 is no whole number of units at 1.25: one pixel more, never less,
        // and the window system is told the exact rectangle.
        {kQuarter, kPanel, 0, {0, 0, 1368, 890}, {0, 0, 1710, 1113}, kPanel},
        {kQuarter, kExternal, 1, {1710, 0, 1024, 768}, kExternal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.scaling.name) + " at x=" + std::to_string(int(c.monitor.x)));
        const auto placed = placeScaled(c.monitor, c.scaling.screens);
        ASSERT_TRUE(placed.has_value());
        EXPECT_EQ(placed->screen, c.screen);
        EXPECT_EQ(placed->logical, c.logical);
        EXPECT_EQ(toRoot(c.scaling.screens[placed->screen], placed->logical), c.lands);
        EXPECT_EQ(placed->native, c.native);
    }
}

TEST(ScreenScaling, SmallWindowsLandWhereTheyWereAskedFor) {
    struct Case {
        const Scaling& scaling;
        Rect root;
        std::size_t screen;
        Rect logical;
    };
    const Rect toastOnPanel{400, 300, 220, 52}, toastOnExternal{1800, 100, 220, 52};
    const Case cases[] = {
        {kOne, toastOnExternal, 1, toastOnExternal},
        {kTwo, toastOnPanel, 0, {200, 150, 110, 26}},
        {kTwo, toastOnExternal, 1, {1755, 50, 110, 26}},
        {kMixed, toastOnPanel, 0, {200, 150, 110, 26}},
        {kMixed, toastOnExternal, 1, toastOnExternal},
        {kHalf, toastOnExternal, 1, {1770, 67, 147, 35}},
        // Across the seam it goes by the screen holding most of it.
        {kMixed, {1600, 0, 300, 100}, 1, {1600, 0, 300, 100}},
        {kMixed, {1500, 0, 300, 100}, 0, {750, 0, 150, 50}},
        // Off every screen: the first one's scale.
        {kTwo, {-400, -100, 20, 20}, 0, {-200, -50, 10, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.scaling.name) + " at x=" + std::to_string(int(c.root.x)));
        const auto placed = placeScaled(c.root, c.scaling.screens);
        ASSERT_TRUE(placed.has_value());
        EXPECT_EQ(placed->screen, c.screen);
        EXPECT_EQ(placed->logical, c.logical);
        const Rect lands = toRoot(c.scaling.screens[placed->screen], placed->logical);
        EXPECT_LE(std::abs(lands.x - c.root.x), 1);
        EXPECT_LE(std::abs(lands.y - c.root.y), 1);
        EXPECT_GE(lands.width, c.root.width);
        EXPECT_GE(lands.height, c.root.height);
        // Wherever the toolkit lands off, the window system is told the rectangle.
        EXPECT_EQ(placed->native, lands == c.root ? std::nullopt : std::optional(c.root));
    }
    EXPECT_FALSE(placeScaled(kPanel, {}).has_value());
}

TEST(ScreenScaling, AMonitorsRatioWhileTheToolkitStillHasTheOldArrangement) {
    // Just after the external moved above the panel: the toolkit's screens are
    // where they were, the monitors already elsewhere.
    const std::vector<ScaledScreen> stale = {screen({600, 960, 1710, 1112}, 2, 855, 556),
                                             screen({0, 0, 1280, 960}, 1, 1280, 960)};
    const std::vector<ScaledScreen> twins = {screen({0, 0, 1280, 960}, 1, 1280, 960),
                                             screen({1280, 0, 1280, 960}, 2, 640, 480)};
    struct Case {
        const char* name;
        const std::vector<ScaledScreen>& screens;
        Rect monitor;
        double ratio;
    };
    const Case cases[] = {
        {"panel, moved", stale, kPanel, 2},
        {"external, moved", stale, kExternal, 1},
        {"unknown size: the screen at its centre", stale, {0, 0, 800, 600}, 1},
        {"same size: the one in place", twins, {1280, 0, 1280, 960}, 2},
        {"same size, none in place: the first", twins, {500, 500, 1280, 960}, 1},
        {"a fractional ratio leaves half a pixel", kQuarter.screens, kPanel, 1.25},
        {"in place at 1.5", kHalf.screens, kExternal, 1.5},
    };
    for (const Case& c : cases) EXPECT_EQ(ratioOfMonitor(c.monitor, c.screens), c.ratio) << c.name;
}

}  // namespace
}  // namespace seam
