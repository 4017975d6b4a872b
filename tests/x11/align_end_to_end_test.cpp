// The real program on the virtual desktop, driven only through the X server as
// a user would: hot keys and clicks synthesised with XTEST, the result read
// back with the xrandr command and from the log.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "align_flow.h"
#include "program_on_x.h"
#include "x11_environment.h"

namespace seam {
namespace {

using testing::at;
using testing::eventually;
using testing::kAlignKeys;
using testing::kUndoKeys;
using testing::Pos;
using testing::Program;
using testing::User;
using testing::VirtualXServer;
using testing::xserver;

TEST(AlignEndToEnd, TwoClicksConfirmAndUndo) {
    ASSERT_TRUE(xserver()->arrange());
    Program program;
    ASSERT_TRUE(program.running());
    User user;
    testing::alignTwoClicksConfirmAndUndo(program, user);
}

TEST(AlignEndToEnd, EscapeCancelsAndOneMonitorShowsWhy) {
    ASSERT_TRUE(xserver()->arrange());
    Program program;
    User user;
    ASSERT_TRUE(eventually([&] { return user.heldByProgram(XK_a); })) << program.logText();
    user.keys(kAlignKeys);
    ASSERT_TRUE(eventually([&] { return user.overlays() == 2; })) << program.logText();
    user.keys({XK_Escape});
    EXPECT_TRUE(program.waitForLog("align mode cancelled (esc)")) << program.logText();
    EXPECT_TRUE(eventually([&] { return user.overlays() == 0; }));
    EXPECT_EQ(user.dialogs(), 0);  // no question
    EXPECT_EQ(at("DUMMY1").x, 1710);

    ASSERT_TRUE(xserver()->arrange(VirtualXServer::Monitors::one));
    user.keys(kAlignKeys);
    EXPECT_TRUE(eventually([&] { return user.toasts() == 1; })) << program.logText();
    EXPECT_EQ(user.overlays(), 0);
    const std::string log = program.logText();
    EXPECT_EQ(log.find("align mode start"), log.rfind("align mode start")) << log;
    ASSERT_TRUE(xserver()->arrange());
}

}  // namespace
}  // namespace seam
