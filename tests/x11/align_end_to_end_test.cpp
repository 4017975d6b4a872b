// The real program on the virtual desktop, driven only through the X server as
// a user would: hot keys and clicks synthesised with XTEST, the result read
// back with the xrandr command and from the log.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

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
    ASSERT_TRUE(eventually([&] { return user.heldByProgram(XK_a) && user.heldByProgram(XK_z); }))
        << program.logText();
    user.keys(kAlignKeys);
    ASSERT_TRUE(eventually([&] { return user.overlays() == 2; })) << program.logText();
    user.click(300, 2);  // near the top edge of the built-in panel, x=300
    ASSERT_TRUE(program.waitForLog("align pick1")) << program.logText();
    user.click(1710 + 900, 500);  // on the external, x=900 of its own
    ASSERT_TRUE(program.waitForLog("align pick2")) << program.logText();
    // The overlays close, then the question opens.
    ASSERT_TRUE(eventually([&] { return user.overlays() == 0 && user.dialogs() == 1; }))
        << program.logText();
    ASSERT_TRUE(eventually([&] { return user.dialogHasFocus(); })) << program.logText();
    user.keys({XK_Return});
    ASSERT_TRUE(eventually([&] {
        return at("DUMMY1") != at("DUMMY0") && !(at("DUMMY0") == Pos{0, 0});
    })) << program.logText();
    // The external now stands above the panel with its x=900 over the panel's x=300:
    // in root coordinates the external's bottom row is just above the panel's top.
    const Pos panel = at("DUMMY0"), external = at("DUMMY1");
    EXPECT_EQ(external.x + 900, panel.x + 300) << program.logText();
    EXPECT_EQ(external.y + 960, panel.y);
    EXPECT_EQ(xserver()->primaryOutput(), "DUMMY0");

    ASSERT_TRUE(program.waitForLog("after:")) << program.logText();  // the move has settled
    user.keys(kUndoKeys);
    EXPECT_TRUE(eventually([&] { return at("DUMMY1") == (Pos{1710, 0}); })) << program.logText();
    EXPECT_EQ(at("DUMMY0"), (Pos{0, 0}));

    const std::string log = program.logText();
    if (std::getenv("SEAM_SHOW_LOG")) std::cout << log;
    const std::string panelId = std::to_string(testing::outputId("DUMMY0"));
    const std::string externalId = std::to_string(testing::outputId("DUMMY1"));
    for (const std::string& line :
         {std::string("align mode start"), "align pick1 id=" + panelId + " side=top pos=300",
          "align pick2 id=" + externalId + " side=bottom pos=2610",
          "connect side=top pos=300 move id=" + externalId + " (1710, 0) -> (-600, -960) ok=true",
          "undo id=" + externalId + "->(1710,0)"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    EXPECT_LT(log.find("align pick1"), log.find("align pick2"));
    EXPECT_LT(log.find("align pick2"), log.find("connect side=top"));
    EXPECT_LT(log.find("connect side=top"), log.find("undo id="));
    EXPECT_EQ(log.find("align confirm cancelled"), std::string::npos) << log;
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
