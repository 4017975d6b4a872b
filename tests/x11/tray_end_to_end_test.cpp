// The real program and the tray: without a host it says so in the log and opens
// the settings window, which names its keys; a host turning up later gets the
// icon; the icon's lines follow the colour a host asks for.
#include <gtest/gtest.h>

#include "main/version.h"
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
    ASSERT_TRUE(program.waitForLog("launch Seamwright " + std::string(kVersion) + " backend=x11 "))
        << program.logText();
    // X11 can do everything: nothing is switched off.
    EXPECT_EQ(program.logText().find("platform x11"), std::string::npos) << program.logText();
    EXPECT_EQ(user.titled("Shortcut Settings"), 0);  // a panel may still be starting
    ASSERT_TRUE(program.waitForLog("tray: no tray host", 15)) << program.logText();
    EXPECT_TRUE(eventually([&] { return user.titled("Shortcut Settings") == 1; }))
        << program.logText();

    TrayHost tray;
    ASSERT_TRUE(tray.owns());
    ASSERT_TRUE(program.waitForLog("tray: a tray host appeared", 15)) << program.logText();
    EXPECT_TRUE(eventually([&] { return tray.dockRequests() >= 1; })) << program.logText();
    // Without a host the theme decided (Qt's own here); then the new panel does.
    EXPECT_NE(program.logText().find("tray icon dark (the theme's window colour #efefef)"),
              std::string::npos)
        << program.logText();
    EXPECT_TRUE(program.waitForLog("tray icon light (the panel's colour #000000)"))
        << program.logText();
}

// A host that names a colour for its icons decides; a quiet one leaves it to
// the panel around the docked icon (a dark one: the test above).
TEST(TrayEndToEnd, WithATrayTheIconDocksInItsTone) {
    ASSERT_TRUE(xserver()->arrange());
    const struct {
        std::optional<std::array<std::uint16_t, 3>> foreground;
        std::uint32_t panel;
        const char* line;
    } cases[] = {
        {std::array<std::uint16_t, 3>{0xffff, 0xffff, 0xffff}, 0x000000,
         "tray icon light (the tray host's colour #ffffff)"},
        {std::nullopt, 0xf0f0f0, "tray icon dark (the panel's colour #f0f0f0)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TrayHost tray(c.foreground, c.panel);
        ASSERT_TRUE(tray.owns());
        Program program;
        ASSERT_TRUE(eventually([&] { return tray.dockRequests() >= 1; })) << program.logText();
        EXPECT_TRUE(program.waitForLog(c.line)) << program.logText();
    }
}

}  // namespace
}  // namespace seam
