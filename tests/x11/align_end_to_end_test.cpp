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
    ASSERT_TRUE(eventually([&] { return user.heldByProgram(XK_a) && user.heldByProgram(XK_z); }))
        << program.logText();
    user.keys(kAlignKeys);
    // Each overlay lies exactly on its monitor, in root pixels.
    const auto overlays = [&] {
        std::vector<std::string> frames;
        for (const auto& w : user.topWindows(true))
            if (w.width >= 1000)
                frames.push_back(std::to_string(w.width) + "x" + std::to_string(w.height) + "+" +
                                 std::to_string(w.x) + "+" + std::to_string(w.y));
        std::sort(frames.begin(), frames.end());
        return frames;
    };
    const std::vector<std::string> monitors = {"1280x960+1710+0", "1710x1112+0+0"};
    ASSERT_TRUE(eventually([&] { return overlays() == monitors; }))
        << ::testing::PrintToString(overlays()) << program.logText();
    user.click(300, 2);  // near the top edge of the built-in panel, x=300
    ASSERT_TRUE(program.waitForLog("align pick1")) << program.logText();
    // The marker is drawn at the clicked x just below the top band, in the band's
    // colour; a little to the side lies only the dimmed screen.
    const auto marked = [&] {
        const unsigned long band = user.rootPixel(600, 2);
        return user.rootPixel(300, 16) == band && user.rootPixel(340, 16) != band;
    };
    EXPECT_TRUE(eventually(marked)) << program.logText();
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

    // The toast for the undo lies inside the monitor under the pointer, cut to
    // its rounded shape over its whole size.
    const auto toast = [&] {
        for (const auto& w : user.topWindows(true))
            if (w.width < 1000 && w.height < 200) return w;
        return User::TopWindow{};
    };
    ASSERT_TRUE(eventually([&] { return toast().id != 0; })) << program.logText();
    const User::TopWindow t = toast();
    const Pos p = user.pointer();
    const bool onPanel = p.x < 1710;
    const int right = onPanel ? 1710 : 1710 + 1280, bottom = onPanel ? 1112 : 960;
    const int left = onPanel ? 0 : 1710;
    // Sized for the text at that monitor's scale.
    const double ratio = onPanel ? scaling.panelRatio : scaling.externalRatio;
    EXPECT_GE(t.height, 20 * ratio);
    EXPECT_LE(t.height, 40 * ratio);
    EXPECT_GE(t.x, left);
    EXPECT_GE(t.y, 0);
    EXPECT_LE(t.x + t.width, right) << t.x << "+" << t.width << " pointer " << p.x;
    EXPECT_LE(t.y + t.height, bottom) << t.y << "+" << t.height << " pointer " << p.y;
    EXPECT_FALSE(user.shapeContains(t.id, 0, 0));
    EXPECT_FALSE(user.shapeContains(t.id, t.width - 1, t.height - 1));
    EXPECT_TRUE(user.shapeContains(t.id, t.width / 2, 0));
    EXPECT_TRUE(user.shapeContains(t.id, t.width - t.height / 2, t.height - 1));

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

// The built-in panel is DUMMY0, the external monitor DUMMY1.
INSTANTIATE_TEST_SUITE_P(
    Desktops, AlignAtScale,
    ::testing::Values(
        Scaling{"Plain", {}}, Scaling{"XftDpi192", {}, 192, 2, 2},
        Scaling{"XftDpi144", {}, 144, 1.5, 1.5},
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
    const std::string log = program.logText();
    EXPECT_EQ(log.find("align mode start"), log.rfind("align mode start")) << log;
    ASSERT_TRUE(xserver()->arrange());
}

}  // namespace
}  // namespace seam
