// The real program and the tray: without a host it says so in the log and opens
// the settings window, which names its keys; a host turning up later gets the
// icon; the icon's lines follow the colour a host asks for.
#include <gtest/gtest.h>

#include "program_on_x.h"
#include "tray_host.h"
#include "x11_environment.h"

namespace seam {
namespace {

using namespace testing;

TEST(TrayEndToEnd, WithoutATrayTheSettingsWindowOpensAndALaterTrayGetsTheIcon) {
    ASSERT_TRUE(xserver()->arrange());
    Program program;
    User user;
    ASSERT_TRUE(program.waitForLog("launch Seamwright")) << program.logText();
    EXPECT_EQ(user.titled("Shortcut Settings"), 0);  // a panel may still be starting
    ASSERT_TRUE(program.waitForLog("tray: no tray host", 15)) << program.logText();
    EXPECT_TRUE(eventually([&] { return user.titled("Shortcut Settings") == 1; }))
        << program.logText();

    TrayHost tray;
    ASSERT_TRUE(tray.owns());
    ASSERT_TRUE(program.waitForLog("tray: a tray host appeared", 15)) << program.logText();
    // No colour from either host: the theme's (Qt's own here) decides.
    EXPECT_NE(program.logText().find("tray icon dark (the theme's window colour #efefef)"),
              std::string::npos)
        << program.logText();
    EXPECT_TRUE(eventually([&] { return tray.dockRequests() >= 1; })) << program.logText();
}

// A dark panel announces a light colour for its icons.
TEST(TrayEndToEnd, WithATrayTheIconDocksInThePanelsTone) {
    ASSERT_TRUE(xserver()->arrange());
    TrayHost tray(std::array<std::uint16_t, 3>{0xffff, 0xffff, 0xffff});
    ASSERT_TRUE(tray.owns());
    Program program;
    EXPECT_TRUE(eventually([&] { return tray.dockRequests() >= 1; })) << program.logText();
    EXPECT_TRUE(program.waitForLog("tray icon light (the tray host's colour #ffffff)"))
        << program.logText();
}

}  // namespace
}  // namespace seam
