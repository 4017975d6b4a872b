// The built program's --movetest against the virtual server, end to end.
#include <gtest/gtest.h>

#include <string>

#include "x11_environment.h"

namespace seam {
namespace {

using testing::VirtualXServer;
using testing::xserver;

TEST(MoveTest, MovesTheExternalAndBack) {
    struct Case {
        VirtualXServer::Monitors monitors;
        const char* out;
        int exitCode;
    };
    const Case cases[] = {
        {VirtualXServer::Monitors::two,
         "move ok=true from=(1710, 0) to=(1750, 0) restore ok=true now=(1710, 0)\n", 0},
        {VirtualXServer::Monitors::one, "no external\n", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        ASSERT_NE(xserver(), nullptr);
        ASSERT_TRUE(xserver()->arrange(c.monitors));
        const testing::ProgramRun r = testing::runProgram("--movetest");
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.exitCode, c.exitCode);
    }
    ASSERT_TRUE(xserver()->arrange());
    int x = 0, y = 0;
    ASSERT_TRUE(xserver()->outputPosition("DUMMY1", x, y));
    EXPECT_EQ(x, 1710);
}

}  // namespace
}  // namespace seam
