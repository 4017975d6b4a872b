// The real program's saved-layout and undo keys, pressed with XTEST and read
// back from the log and xrandr: on the desktop, and in align mode, whose
// overlays hold the keyboard so that no grabbed key reaches the server's grabs.
#include <gtest/gtest.h>

#include "program_on_x.h"
#include "x11_environment.h"

namespace seam {
namespace {

using namespace testing;

TEST(LayoutAndUndoKeys, ActOnTheDesktopAndInAlignModeWhereALayoutEndsTheMode) {
    ASSERT_TRUE(xserver()->arrange());
    Program program([](const std::string& home) { storeLowerLayout(home, kLayoutKey); });
    User user;
    ASSERT_TRUE(eventually([&] {
        return user.heldByProgram(XK_a) && user.heldByProgram(XK_F5, ControlMask | ShiftMask);
    })) << program.logText();
    const auto lines = [&](const std::string& part) { return program.logCount(part); };

    // On the desktop: the layout key moves the monitor 200 down, undo puts it back.
    user.keys(kLayoutKeys);
    ASSERT_TRUE(program.waitForLog("layout \"Lower\" via=hotkey")) << program.logText();
    ASSERT_TRUE(program.waitForLog("after: ")) << program.logText();
    EXPECT_EQ(at("DUMMY0"), (Pos{0, 0}));
    EXPECT_EQ(at("DUMMY1"), (Pos{1710, 200}));
    user.keys(kUndoKeys);
    ASSERT_TRUE(program.waitForLog("undo id=")) << program.logText();
    EXPECT_TRUE(eventually([&] { return at("DUMMY1") == (Pos{1710, 0}); })) << program.logText();
    const std::string panel = "id=" + std::to_string(outputId("DUMMY0"));
    const std::string external = "id=" + std::to_string(outputId("DUMMY1"));
    for (const std::string& line :
         {std::string("layout \"Lower\" via=hotkey before "),
          " move " + panel + "->(0,0) " + external + "->(1710,200) ok=true",
          "undo " + panel + "->(0,0) " + external + "->(1710,0)"})
        EXPECT_NE(program.logText().find(line), std::string::npos) << line << "\n"
                                                                   << program.logText();
    EXPECT_EQ(lines("hotkey register failed"), 0) << program.logText();

    // Align again: the mode starts afresh and forgets the first pick, so a
    // click on the other screen is a first pick again.
    user.keys(kAlignKeys);
    ASSERT_TRUE(eventually([&] { return user.overlays() == 2; })) << program.logText();
    user.click(300, 2);
    ASSERT_TRUE(program.waitForLog("align pick1")) << program.logText();
    user.keys(kAlignKeys);
    ASSERT_TRUE(eventually([&] { return lines("align mode start") == 2; })) << program.logText();
    ASSERT_TRUE(eventually([&] { return user.overlays() == 2; })) << program.logText();
    user.click(1710 + 900, 500);
    ASSERT_TRUE(eventually([&] { return lines("align pick1") == 2; })) << program.logText();
    EXPECT_EQ(lines("align pick2"), 0) << program.logText();

    // A layout key applies the layout and ends the mode.
    const int settled = lines("after: ");
    user.keys(kLayoutKeys);
    ASSERT_TRUE(eventually([&] { return lines("layout \"Lower\" via=hotkey") == 2; }))
        << program.logText();
    EXPECT_TRUE(eventually([&] { return user.overlays() == 0; })) << program.logText();
    ASSERT_TRUE(eventually([&] { return at("DUMMY1") == (Pos{1710, 200}); })) << program.logText();
    ASSERT_TRUE(eventually([&] { return lines("after: ") > settled; })) << program.logText();

    // Undo acts under the overlays, which stay.
    user.keys(kAlignKeys);
    ASSERT_TRUE(eventually([&] { return lines("align mode start") == 3; })) << program.logText();
    ASSERT_TRUE(eventually([&] { return user.overlays() == 2; })) << program.logText();
    user.keys(kUndoKeys);
    ASSERT_TRUE(eventually([&] { return lines("undo id=") == 2; })) << program.logText();
    EXPECT_TRUE(eventually([&] { return at("DUMMY1") == (Pos{1710, 0}); })) << program.logText();
    EXPECT_EQ(user.overlays(), 2);
    EXPECT_EQ(lines("align mode start"), 3);
    user.keys({XK_Escape});
    EXPECT_TRUE(program.waitForLog("align mode cancelled (esc)")) << program.logText();
    ASSERT_TRUE(xserver()->arrange());
}

}  // namespace
}  // namespace seam
