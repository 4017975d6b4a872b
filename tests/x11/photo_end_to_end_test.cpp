// Photo mode in the program built with it switched on, driven through the X
// server: the hot key, a desk photo arriving, the question answered, and the
// monitor's new place read back with xrandr.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

// Qt before Xlib, whose macros clash with Qt's names.
// clang-format off
#include "qt/photo_scene.h"
#include "program_on_x.h"
#include "x11_environment.h"
#include <X11/Xatom.h>
// clang-format on

namespace seam {
namespace {

using testing::at;
using testing::eventually;
using testing::Program;
using testing::User;
using testing::VirtualXServer;
using testing::xserver;

const std::initializer_list<KeySym> kPhotoKeys = {XK_Control_L, XK_Alt_L, XK_Super_L, XK_p};

// The panel (1710 x 1112) and the monitor to its right (1280 x 960).
constexpr int kPanelW = 1710, kPanelH = 1112, kMonitorH = 960;
// The control panel's buttons, centred on the panel's screen.
constexpr int kButtonsY = kPanelH / 2 - 98 + 112 + 16;
constexpr int kFileButtonX = kPanelW / 2 - 230 + 180 + 75;
constexpr int kCancelButtonX = kPanelW / 2 - 230 + 336 + 50;

// A straight-on photo: the pink screen left, rows 35-65 % of the picture; the
// green one right, rows 25-60 %. The facing edges share rows 35-60 %, met in
// their middle: 5/12 down the panel's right edge, 9/14 down the monitor's left.
constexpr double kMonitorOffset = 5.0 / 12 * kPanelH - 9.0 / 14 * kMonitorH;

void writeDeskPhoto(const std::string& path) {
    testing::DeskScene scene;
    scene.pink = QRectF(0.08, 0.35, 0.35, 0.30);
    scene.green = QRectF(0.52, 0.25, 0.40, 0.35);
    scene.keystone = 0;
    scene.tilt = 0;
    const QByteArray jpeg = testing::encodeJpeg(testing::renderDesk(scene), 90);
    // Written aside and moved in, as a download finishes.
    const std::string part = path + ".part";
    std::ofstream(part, std::ios::binary).write(jpeg.constData(), jpeg.size());
    std::filesystem::rename(part, path);
}

// Drags a file from another client onto the top-level window at a root point and
// drops it there, as a file manager does (XDND version 5). True once the window
// has taken it.
bool dropFile(int x, int y, const std::string& path) {
    Display* d = XOpenDisplay(xserver()->name().c_str());
    if (!d) return false;
    const auto atom = [d](const char* name) { return XInternAtom(d, name, False); };
    const Atom selection = atom("XdndSelection"), uriList = atom("text/uri-list");
    const Window root = DefaultRootWindow(d);
    const Window source = XCreateSimpleWindow(d, root, 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(d, selection, source, CurrentTime);
    Window target = None;
    int tx = 0, ty = 0;
    XTranslateCoordinates(d, root, root, x, y, &tx, &ty, &target);
    const auto send = [&](const char* type, long l1, long l2, long l3, long l4) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = target;
        e.xclient.message_type = atom(type);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(source);
        e.xclient.data.l[1] = l1;
        e.xclient.data.l[2] = l2;
        e.xclient.data.l[3] = l3;
        e.xclient.data.l[4] = l4;
        XSendEvent(d, target, False, NoEventMask, &e);
        XFlush(d);
    };
    // Answers the target's requests for the data until a message of this type arrives.
    const auto await = [&](const char* type) -> std::optional<XClientMessageEvent> {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            while (XPending(d)) {
                XEvent e;
                XNextEvent(d, &e);
                if (e.type == ClientMessage && e.xclient.message_type == atom(type))
                    return e.xclient;
                if (e.type != SelectionRequest) continue;
                const XSelectionRequestEvent& r = e.xselectionrequest;
                XEvent reply{};
                reply.xselection = {SelectionNotify, 0,        True, d,     r.requestor,
                                    r.selection,     r.target, None, r.time};
                if (r.target == uriList) {
                    const std::string uri = "file://" + path + "\r\n";
                    XChangeProperty(d, r.requestor, r.property, uriList, 8, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(uri.data()),
                                    int(uri.size()));
                    reply.xselection.property = r.property;
                }
                XSendEvent(d, r.requestor, False, NoEventMask, &reply);
                XFlush(d);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::nullopt;
    };
    bool taken = false;
    if (target != None) {
        send("XdndEnter", 5L << 24, long(uriList), 0, 0);
        send("XdndPosition", 0, (long(x) << 16) | y, CurrentTime, long(atom("XdndActionCopy")));
        const auto status = await("XdndStatus");
        if (status && (status->data.l[1] & 1)) {
            send("XdndDrop", 0, CurrentTime, 0, 0);
            const auto finished = await("XdndFinished");
            taken = finished && (finished->data.l[1] & 1);
        } else {
            send("XdndLeave", 0, 0, 0, 0);
        }
    }
    XDestroyWindow(d, source);
    XCloseDisplay(d);
    return taken;
}

// The colour windows, as the server stacks them: exactly one per monitor.
bool coloursCoverBothMonitors(User& user) {
    int pink = 0, green = 0;
    for (const auto& w : user.topWindows(true)) {
        if (w.x == 0 && w.y == 0 && w.width == kPanelW && w.height == kPanelH) ++pink;
        if (w.x == kPanelW && w.y == 0 && w.width == 1280 && w.height == kMonitorH) ++green;
    }
    return pink == 1 && green == 1 && user.rootPixel(20, 20) == 0xE014B8 &&
           user.rootPixel(kPanelW + 20, 20) == 0x0FCC5C;
}

class PhotoEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(xserver()->arrange());
        ASSERT_TRUE(program.running());
        ASSERT_TRUE(eventually([&] { return user.heldByProgram(XK_p); })) << program.logText();
    }
    void TearDown() override { xserver()->arrange(); }

    void open() {
        user.keys(kPhotoKeys);
        ASSERT_TRUE(program.waitForLog("photo mode start")) << program.logText();
        ASSERT_TRUE(eventually([&] { return coloursCoverBothMonitors(user); }))
            << program.logText();
    }
    std::string downloads() const {
        const std::string dir = program.home() + "/Downloads";
        std::filesystem::create_directories(dir);
        return dir;
    }
    // The question shows; Return accepts it, and the monitor moves as the photo shows.
    void acceptAndCheckTheMove(const std::string& okLine) {
        ASSERT_TRUE(program.waitForLog(okLine, 15)) << program.logText();
        ASSERT_TRUE(eventually([&] { return user.dialogHasFocus(); })) << program.logText();
        EXPECT_EQ(user.windows(true, 1280, kPanelW, kPanelH), 0);  // colours gone
        user.keys({XK_Return});
        ASSERT_TRUE(eventually([&] {
            return std::abs(at("DUMMY1").y - at("DUMMY0").y - kMonitorOffset) <= 12;
        })) << "panel y "
            << at("DUMMY0").y << ", monitor y " << at("DUMMY1").y << "\n"
            << program.logText();
        EXPECT_EQ(at("DUMMY1").x - at("DUMMY0").x, kPanelW);
    }

    Program program{{}, {}, "seamwright_photo"};
    User user;
};

TEST_F(PhotoEndToEnd, PhotoLandingInDownloadsMovesTheMonitor) {
    const std::string dir = downloads();
    writeDeskPhoto(dir + "/old.jpg");  // from before the start: never taken
    open();
    writeDeskPhoto(dir + "/desk.jpg");
    acceptAndCheckTheMove("photo ok via airdrop desk.jpg side=right");
    EXPECT_EQ(program.logText().find("old.jpg"), std::string::npos);
}

TEST_F(PhotoEndToEnd, PhotoChosenInTheFileChooserMovesTheMonitor) {
    // In the folder the chooser opens on, there before photo mode starts.
    writeDeskPhoto(downloads() + "/chosen.jpg");
    open();
    user.click(kFileButtonX, kButtonsY);
    ASSERT_TRUE(eventually([&] { return user.dialogHasFocus(); })) << program.logText();
    for (KeySym k : {XK_c, XK_h, XK_o, XK_s, XK_e, XK_n, XK_period, XK_j, XK_p, XK_g})
        user.keys({k});
    user.keys({XK_Return});
    acceptAndCheckTheMove("photo ok via file chosen.jpg side=right");
}

TEST_F(PhotoEndToEnd, PhotoDroppedOnThePinkScreenMovesTheMonitor) {
    const std::string dir = program.home() + "/elsewhere";
    std::filesystem::create_directories(dir);
    writeDeskPhoto(dir + "/dropped.jpg");
    open();
    EXPECT_TRUE(dropFile(300, 300, dir + "/dropped.jpg")) << program.logText();
    acceptAndCheckTheMove("photo ok via drop dropped.jpg side=right");
}

TEST_F(PhotoEndToEnd, EscapeAndCancelCloseEverythingAndOneMonitorShowsWhy) {
    open();
    user.keys({XK_Escape});
    EXPECT_TRUE(program.waitForLog("photo mode cancelled (esc)")) << program.logText();
    EXPECT_TRUE(eventually([&] { return user.overlays() == 0; }));

    open();
    user.click(kCancelButtonX, kButtonsY);
    EXPECT_TRUE(program.waitForLog("photo mode cancelled\n")) << program.logText();
    EXPECT_TRUE(eventually([&] { return user.overlays() == 0; }));
    EXPECT_EQ(at("DUMMY1").x, kPanelW);

    ASSERT_TRUE(xserver()->arrange(VirtualXServer::Monitors::one));
    user.keys(kPhotoKeys);
    EXPECT_TRUE(eventually([&] { return user.toasts() == 1; })) << program.logText();
    EXPECT_EQ(user.windows(true, 1280, kPanelW, kPanelH), 0);
    EXPECT_EQ(program.logCount("photo mode start"), 2) << program.logText();
}

TEST(PhotoEndToEndScaled, ColourWindowsCoverTheirMonitorsWhateverQtScales) {
    ASSERT_TRUE(xserver()->arrange());
    for (const char* scaling : {"QT_SCALE_FACTOR=2", "QT_SCREEN_SCALE_FACTORS=DUMMY0=2;DUMMY1=1"}) {
        SCOPED_TRACE(scaling);
        User user;
        // The program of the round before may still hold its keys a moment after it ended.
        ASSERT_TRUE(eventually([&] { return !user.heldByProgram(XK_p); }));
        Program program({}, {scaling}, "seamwright_photo");
        ASSERT_TRUE(eventually([&] { return user.heldByProgram(XK_p); })) << program.logText();
        user.keys(kPhotoKeys);
        EXPECT_TRUE(eventually([&] { return coloursCoverBothMonitors(user); }))
            << program.logText();
        user.keys({XK_Escape});
        EXPECT_TRUE(program.waitForLog("photo mode cancelled (esc)")) << program.logText();
    }
}

TEST(PhotoEndToEndBusy, MonitorChangesOfferNothingWhilePhotoModeIsOpen) {
    ASSERT_TRUE(xserver()->arrange());
    Program program(
        [](const std::string& configHome) {
            testing::storeLowerLayout(configHome, testing::kLayoutKey);
        },
        {}, "seamwright_photo");
    User user;
    ASSERT_TRUE(eventually([&] { return user.heldByProgram(XK_p); })) << program.logText();
    ASSERT_TRUE(program.waitForLog("layout suggest (launch): ")) << program.logText();
    user.keys(kPhotoKeys);
    ASSERT_TRUE(program.waitForLog("photo mode start")) << program.logText();
    ASSERT_TRUE(xserver()->arrange(VirtualXServer::Monitors::one));
    ASSERT_TRUE(xserver()->arrange());
    EXPECT_TRUE(
        program.waitForLog("layout suggest (monitors changed): skipped, align mode is open"))
        << program.logText();
    user.keys({XK_Escape});
    EXPECT_TRUE(program.waitForLog("photo mode cancelled (esc)")) << program.logText();
}

}  // namespace
}  // namespace seam
