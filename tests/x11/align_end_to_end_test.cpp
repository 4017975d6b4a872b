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

using namespace testing;

TEST(AlignEndToEnd, TwoClicksConfirmAndUndo) {
    ASSERT_TRUE(xserver()->arrange());
    Program program;
    ASSERT_TRUE(program.running());
    ASSERT_TRUE(program.waitForLog("launch Seamwright")) << program.logText();
    pause(0.5);
    User user;
    user.keys(kAlignKeys);
    ASSERT_TRUE(program.waitForLog("align mode start")) << program.logText();
    pause(0.3);
    user.click(300, 2);  // near the top edge of the built-in panel, x=300
    pause(0.3);
    user.click(1710 + 900, 500);  // on the external, x=900 of its own
    ASSERT_TRUE(program.waitForLog("align pick2")) << program.logText();
    pause(0.8);  // the overlays close, the question opens
    user.keys({XK_Return});
    pause(1.5);
    // The external now stands above the panel with its x=900 over the panel's x=300:
    // in root coordinates the external's bottom row is just above the panel's top.
    const Pos panel = at("DUMMY0"), external = at("DUMMY1");
    EXPECT_EQ(external.x + 900, panel.x + 300) << program.logText();
    EXPECT_EQ(external.y + 960, panel.y);
    EXPECT_EQ(xserver()->primaryOutput(), "DUMMY0");

    user.keys(kUndoKeys);
    pause(1.5);
    const Pos panelBack = at("DUMMY0"), externalBack = at("DUMMY1");
    EXPECT_EQ(panelBack.x, 0);
    EXPECT_EQ(panelBack.y, 0);
    EXPECT_EQ(externalBack.x, 1710);
    EXPECT_EQ(externalBack.y, 0);

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
    ASSERT_TRUE(program.waitForLog("launch Seamwright")) << program.logText();
    pause(0.5);
    User user;
    user.keys(kAlignKeys);
    ASSERT_TRUE(program.waitForLog("align mode start"));
    pause(0.3);
    user.keys({XK_Escape});
    EXPECT_TRUE(program.waitForLog("align mode cancelled (esc)")) << program.logText();
    EXPECT_EQ(at("DUMMY1").x, 1710);

    ASSERT_TRUE(xserver()->arrange(VirtualXServer::Monitors::one));
    pause(0.5);
    user.keys(kAlignKeys);
    pause(0.5);
    EXPECT_EQ(user.smallPopups(600, 60), 1);  // the toast
    const std::string log = program.logText();
    EXPECT_EQ(log.find("align mode start"), log.rfind("align mode start")) << log;
    ASSERT_TRUE(xserver()->arrange());
}

}  // namespace
}  // namespace seam
