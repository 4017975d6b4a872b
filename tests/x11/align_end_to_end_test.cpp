// The real program on the virtual desktop, driven only through the X server as
// a user would: hot keys and clicks synthesised with XTEST, the result read
// back with the xrandr command and from the log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

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
using testing::runCommand;
using testing::TempDir;
using testing::User;
using testing::VirtualXServer;
using testing::xserver;

// How the desktop scales: Qt's variables for the program, or the resource
// desktops set (Xft.dpi) on the server while it runs.
struct Scaling {
    const char* name;
    std::vector<std::string> environment;
    int xftDpi = 0;
    double panelRatio = 1, externalRatio = 1;  // device pixels per Qt unit
};

std::ostream& operator<<(std::ostream& out, const Scaling& s) {
    return out << s.name;
}

// Sets Xft.dpi on the server for the life of the object, then puts back what was there.
class ServerDpi {
  public:
    explicit ServerDpi(int dpi) : display_("DISPLAY=" + xserver()->name()) {
        if (dpi == 0) return;
        std::ofstream(saved_.path() + "/resources") << runCommand(display_ + " xrdb -query").out;
        set_ =
            runCommand("echo 'Xft.dpi: " + std::to_string(dpi) + "' | " + display_ + " xrdb -merge")
                .exitCode == 0;
    }
    ~ServerDpi() {
        if (!set_) return;
        runCommand(display_ + " xrdb -load " + saved_.path() + "/resources");
    }
    bool set() const { return set_; }

  private:
    std::string display_;
    TempDir saved_;
    bool set_ = false;
};

class AlignAtScale : public ::testing::TestWithParam<Scaling> {};

TEST_P(AlignAtScale, OverlaysCoverTheirMonitorsAndTheClickedPointsMeet) {
    ASSERT_TRUE(xserver()->arrange());
    const Scaling& scaling = GetParam();
    ServerDpi dpi(scaling.xftDpi);
    ASSERT_TRUE(scaling.xftDpi == 0 || dpi.set());
    // An earlier case left no resource behind.
    const std::string resources = runCommand("DISPLAY=" + xserver()->name() + " xrdb -query").out;
    ASSERT_TRUE(scaling.xftDpi != 0 || resources.find("Xft.dpi") == std::string::npos) << resources;
    Program program({}, scaling.environment);
    ASSERT_TRUE(program.running());
    User user;
    testing::alignTwoClicksConfirmAndUndo(program, user,
                                          {scaling.panelRatio, scaling.externalRatio});
}

// The built-in panel is DUMMY0, the external monitor DUMMY1.
INSTANTIATE_TEST_SUITE_P(
    Desktops, AlignAtScale,
    ::testing::Values(
        Scaling{"Plain", {}}, Scaling{"XftDpi192", {}, 192, 2, 2},
        Scaling{"XftDpi144", {}, 144, 1.5, 1.5}, Scaling{"XftDpi120", {}, 120, 1.25, 1.25},
        Scaling{"QtScaleFactor2", {"QT_SCALE_FACTOR=2"}, 0, 2, 2},
        Scaling{"PanelAt2ExternalAt1", {"QT_SCREEN_SCALE_FACTORS=DUMMY0=2;DUMMY1=1"}, 0, 2, 1}),
    [](const ::testing::TestParamInfo<Scaling>& info) { return std::string(info.param.name); });

TEST(AlignEndToEnd, EscapeCancelsAndOneMonitorShowsWhy) {
    ASSERT_TRUE(xserver()->arrange());
    Program program;
    User user;
    ASSERT_TRUE(eventually([&] { return user.heldByProgram(XK_a); })) << program.logText();
    user.keys(kAlignKeys);
    ASSERT_TRUE(eventually([&] { return user.overlays() == 2; })) << program.logText();
    user.click(300, 2, 3);  // only the primary button picks a point
    user.click(1710 + 900, 500, 2);
    user.keys({XK_Escape});
    EXPECT_TRUE(program.waitForLog("align mode cancelled (esc)")) << program.logText();
    EXPECT_TRUE(eventually([&] { return user.overlays() == 0; }));
    EXPECT_EQ(user.dialogs(), 0);  // no question
    EXPECT_EQ(program.logText().find("align pick"), std::string::npos) << program.logText();
    EXPECT_EQ(at("DUMMY1").x, 1710);

    ASSERT_TRUE(xserver()->arrange(VirtualXServer::Monitors::one));
    user.keys(kAlignKeys);
    EXPECT_TRUE(eventually([&] { return user.toasts() == 1; })) << program.logText();
    EXPECT_EQ(user.overlays(), 0);
    EXPECT_EQ(program.logCount("align mode start"), 1) << program.logText();
    ASSERT_TRUE(xserver()->arrange());
}

}  // namespace
}  // namespace seam
