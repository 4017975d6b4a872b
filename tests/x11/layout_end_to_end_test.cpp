// A saved layout with a hot key, applied by the real program when the key is
// pressed on the virtual desktop, and undone with the undo key.
#include <gtest/gtest.h>

#include <QString>

#include "geometry/arrangement.h"
#include "layouts/layout_file.h"
#include "layouts/layout_plan.h"
#include "layouts/live_display.h"
#include "main/qt/prefs.h"
#include "platform/x11/x11_display_identity.h"
#include "platform/x11/x11_display_services.h"
#include "program_on_x.h"
#include "shell/hot_key_spec.h"
#include "x11_environment.h"

namespace seam {
namespace {

using namespace testing;

// Control-shift-F5, in the stored form.
const HotKeySpec kLayoutKey{96, HotKeySpec::control | HotKeySpec::shift, "F5"};

// "Lower": the monitor 200 points further down than it stands now.
void storeLowerLayout(const std::string& configHome) {
    auto services = X11DisplayServices::open(xserver()->name().c_str());
    ASSERT_TRUE(services);
    Arrangement arrangement(*services);
    X11DisplayIdentity identity(*services);
    SavedLayout lower = makeLayout("Lower", readLiveDisplays(arrangement, identity), nullptr, {});
    ASSERT_EQ(lower.displays.size(), 2u);
    lower.displays[1].y += 200;
    const auto bytes = encodeLayoutFile({.layouts = {lower}});
    ASSERT_TRUE(bytes);

    QSettingsStore store(QString::fromStdString(configHome) + "/Seamwright", "Seamwright");
    store.set("layouts.v1", *bytes);
    kLayoutKey.save("layout." + lower.id, store);
    store.sync();
}

TEST(LayoutEndToEnd, HotKeyAppliesTheLayoutAndUndoRestores) {
    ASSERT_TRUE(xserver()->arrange());
    Program program(storeLowerLayout);
    ASSERT_TRUE(program.running());
    User user;
    ASSERT_TRUE(eventually([&] { return user.heldByProgram(XK_F5, ControlMask | ShiftMask); })) << program.logText();
    user.keys({XK_Control_L, XK_Shift_L, XK_F5});
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
