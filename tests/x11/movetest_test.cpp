// The built program's --movetest against the virtual server, end to end.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "support/log_capture.h"
#include "x11_environment.h"

namespace seam {
namespace {

using testing::VirtualXServer;
using testing::xserver;

struct ProgramRun {
    std::string out;
    int exitCode = -1;
};

ProgramRun runMoveTest() {
    testing::TempDir state;  // keeps the program's log out of the home folder
    const std::string cmd = "XDG_STATE_HOME=" + state.path() + " DISPLAY=" + xserver()->name() +
                            " " SEAM_BINARY_DIR "/seamwright --movetest";
    ProgramRun r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    std::array<char, 1024> buf;
    for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), p)) > 0;) r.out.append(buf.data(), n);
    const int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

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
        const ProgramRun r = runMoveTest();
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
