#include "align/output_click.h"

#include <gtest/gtest.h>

namespace seam {
namespace {

TEST(OutputClick, TheScreenIsTheOneNamedLikeTheOutputOrNone) {
    struct Case {
        std::optional<std::string> output;
        std::vector<std::string> screens;
        std::optional<std::size_t> screen;
    };
    const Case cases[] = {
        {"HEADLESS-2", {"HEADLESS-1", "HEADLESS-2"}, 1},
        {"DP-1", {"DP-1"}, 0},
        {"DP-1", {"DP-10", "eDP-1", "dp-1"}, std::nullopt},  // no near match stands in
        {"DP-1", {"DP-1", "DP-1"}, std::nullopt},            // two would be a guess
        {"", {"", "DP-1"}, std::nullopt},
        {std::nullopt, {"DP-1"}, std::nullopt},
        {"DP-1", {}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(screenOfOutput(c.output, c.screens), c.screen) << c.output.value_or("(none)");
}

TEST(OutputClick, AClickLandsOnTheFrameWhateverTheWindowCounts) {
    struct Case {
        const char* name;
        Rect frame;
        double width, height;  // the window, in the toolkit's units
        Point local;
        Point global;
    };
    const Case cases[] = {
        {"main display", {0, 0, 1710, 1112}, 1710, 1112, {1700, 300}, {1700, 300}},
        {"right of main", {1710, 0, 1280, 960}, 1280, 960, {5, 500}, {1715, 500}},
        {"above and left", {-1280, -960, 1280, 960}, 1280, 960, {0, 959}, {-1280, -1}},
        {"output scale 2: logical units both sides",
         {1710, 0, 960, 540},
         960,
         540,
         {480.5, 10},
         {2190.5, 10}},
        {"toolkit scaling by 2 on its own", {1710, 0, 1280, 960}, 640, 480, {5, 250}, {1720, 500}},
        {"fractional toolkit factor", {0, 0, 1500, 1000}, 1200, 800, {600, 400}, {750, 500}},
        {"window not laid out yet", {100, 50, 800, 600}, 0, 0, {10, 20}, {110, 70}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Point p = clickInFrame(c.frame, c.width, c.height, c.local);
        EXPECT_DOUBLE_EQ(p.x, c.global.x);
        EXPECT_DOUBLE_EQ(p.y, c.global.y);
    }
}

}  // namespace
}  // namespace seam
