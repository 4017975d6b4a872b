#include "base/diagnostics.h"

#include <gtest/gtest.h>

#include "base/format.h"
#include "platform/sim/sim_display_server.h"

namespace seam {
namespace {

TEST(MoveTestJob, MovesTheOtherDisplayAndBack) {
    struct Case {
        std::optional<Rect> other;
        int failMove;
        std::string line;
        int exitCode;
    };
    const Case cases[] = {
        {Rect{1710, 0, 1280, 960}, 0,
         "move ok=true from=(1710, 0) to=(1750, 0) restore ok=true now=(1710, 0)", 0},
        {Rect{-1280, -960, 1280, 960}, 1,
         "move ok=false from=(-1280, -960) to=(-1280, -960) restore ok=false now=(-1280, -960)", 1},
        {std::nullopt, 0, "no external", 2},
    };
    for (const Case& c : cases) {
        SimDisplayServer server;
        server.addDisplay({.id = 1, .frame = {0, 0, 1710, 1112}, .builtin = true});
        if (c.other) server.addDisplay({.id = 2, .frame = *c.other});
        server.failMoveNumber(c.failMove);
        Arrangement arrangement(server);
        std::vector<double> waits;
        const JobResult r = moveTest(arrangement, [&](double s) { waits.push_back(s); });
        EXPECT_EQ(r.lines, std::vector<std::string>{c.line});
        EXPECT_EQ(r.exitCode, c.exitCode) << c.line;
        EXPECT_EQ(waits, (c.other ? std::vector<double>{0.4, 0.4} : std::vector<double>{}))
            << c.line;
        EXPECT_EQ(server.transactions().size(), c.other ? 2u : 0u) << c.line;
    }
}

TEST(SelfTestJob, AllChecksPass) {
    const JobResult r = selfTest();
    ASSERT_GT(r.lines.size(), 10u);
    for (size_t i = 0; i + 1 < r.lines.size(); ++i)
        EXPECT_EQ(r.lines[i].rfind("pass ", 0), 0u) << r.lines[i];
    EXPECT_EQ(r.lines.back(), "ALL PASS");
    EXPECT_EQ(r.exitCode, 0);
}

TEST(FormatTest, Numbers) {
    EXPECT_EQ(formatPoint({1710, 0}), "(1710, 0)");
    EXPECT_EQ(formatPoint({-0.0, 2.5}), "(0, 2.5)");
    EXPECT_EQ(formatRect({1, 2, 300.25, 4}), "(1, 2, 300.25, 4)");
    EXPECT_EQ(formatNumber(0.1), "0.1");
}

}  // namespace
}  // namespace seam
