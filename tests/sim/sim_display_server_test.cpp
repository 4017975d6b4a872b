#include "platform/sim/sim_display_server.h"

#include <gtest/gtest.h>

namespace seam {
namespace {

TEST(SimDisplayServerTest, MainStaysAtZeroAndMirrorsAreListed) {
    SimDisplayServer s;
    s.addDisplay({.id = 5, .frame = {100, 50, 1710, 1112}, .builtin = true});
    // Later displays are given in global space, where main is already at (0,0).
    s.addDisplay({.id = 6, .frame = {1710, 0, 1280, 960}});
    s.addDisplay({.id = 7, .frame = {1710, 0, 1280, 960}, .mirrorOf = 6u});
    s.addDisplay({.id = 8, .active = false});
    const auto list = s.activeDisplays();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].f.origin(), (Point{0, 0}));
    EXPECT_EQ(list[1].f.origin(), (Point{1710, 0}));
    EXPECT_EQ(s.mirrors(7), 6u);
    EXPECT_FALSE(s.mirrors(6));
    EXPECT_EQ(s.onlineDisplays().size(), 4u);
    EXPECT_TRUE(s.isBuiltin(5));
    EXPECT_FALSE(s.isBuiltin(6));
}

TEST(SimDisplayServerTest, FailuresAreAllOrNothingAndReconfigureIsAnnounced) {
    SimDisplayServer s;
    s.addDisplay({.id = 1, .frame = {0, 0, 100, 100}});
    s.addDisplay({.id = 2, .frame = {100, 0, 100, 100}});
    int announced = 0;
    s.onReconfigure = [&] { ++announced; };
    s.failBegin(true);
    EXPECT_FALSE(s.configure({{2, 5, 5}}));
    s.failBegin(false);
    EXPECT_FALSE(s.configure({{9, 5, 5}}));  // unknown display
    EXPECT_EQ(s.find(2)->frame.origin(), (Point{100, 0}));
    EXPECT_EQ(announced, 0);
    EXPECT_TRUE(s.configure({{2, 0, 100}}));
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(s.transactions().size(), 3u);
    // Moving main away shifts the space so main is at (0,0) again.
    EXPECT_TRUE(s.configure({{1, 50, 0}}));
    EXPECT_EQ(s.find(1)->frame.origin(), (Point{0, 0}));
    EXPECT_EQ(s.find(2)->frame.origin(), (Point{-50, 100}));
}

TEST(SimDisplayServerTest, AMirrorSetMovesAsOne) {
    struct Case {
        const char* name;
        std::uint32_t moved;
    };
    for (const Case& c : {Case{"source named", 6}, Case{"mirror named", 7}}) {
        SCOPED_TRACE(c.name);
        SimDisplayServer s;
        s.addDisplay({.id = 5, .frame = {0, 0, 1710, 1112}});
        s.addDisplay({.id = 6, .frame = {1710, 0, 1280, 960}});
        s.addDisplay({.id = 7, .frame = {1710, 0, 1280, 960}, .mirrorOf = 6u});
        s.addDisplay({.id = 8, .frame = {0, 1112, 800, 600}});
        ASSERT_TRUE(s.configure({{c.moved, -1280, 0}}));
        EXPECT_EQ(s.find(6)->frame.origin(), (Point{-1280, 0}));
        EXPECT_EQ(s.find(7)->frame.origin(), (Point{-1280, 0}));
        EXPECT_EQ(s.find(8)->frame.origin(), (Point{0, 1112}));
        EXPECT_EQ(s.find(5)->frame.origin(), (Point{0, 0}));
    }
}

}  // namespace
}  // namespace seam
