// A saved layout with a hot key, applied by the real program when the key is
// pressed on the virtual desktop, and undone with the undo key.
#include <gtest/gtest.h>

#include "program_on_x.h"
#include "x11_environment.h"

namespace seam {
namespace {

using namespace testing;

TEST(LayoutEndToEnd, HotKeyAppliesTheLayoutAndUndoRestores) {
    ASSERT_TRUE(xserver()->arrange());
    Program program([](const std::string& home) { storeLowerLayout(home, kLayoutKey); });
    ASSERT_TRUE(program.running());
    User user;
    ASSERT_TRUE(eventually([&] { return user.heldByProgram(XK_F5, ControlMask | ShiftMask); }))
        << program.logText();
    user.keys(kLayoutKeys);
    ASSERT_TRUE(program.waitForLog("layout \"Lower\" via=hotkey")) << program.logText();
    ASSERT_TRUE(program.waitForLog("after: ")) << program.logText();
    EXPECT_EQ(at("DUMMY0").x, 0);
    EXPECT_EQ(at("DUMMY0").y, 0);
    EXPECT_EQ(at("DUMMY1").x, 1710);
    EXPECT_EQ(at("DUMMY1").y, 200);

    user.keys(kUndoKeys);
    ASSERT_TRUE(program.waitForLog("undo id=")) << program.logText();
    EXPECT_TRUE(eventually([&] { return at("DUMMY1") == (Pos{1710, 0}); })) << program.logText();

    const std::string log = program.logText();
    const std::string panel = "id=" + std::to_string(outputId("DUMMY0"));
    const std::string external = "id=" + std::to_string(outputId("DUMMY1"));
    for (const std::string& line :
         {std::string("layout \"Lower\" via=hotkey before "),
          " move " + panel + "->(0,0) " + external + "->(1710,200) ok=true",
          "undo " + panel + "->(0,0) " + external + "->(1710,0)"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    EXPECT_EQ(log.find("hotkey register failed"), std::string::npos) << log;
    ASSERT_TRUE(xserver()->arrange());
}

}  // namespace
}  // namespace seam
