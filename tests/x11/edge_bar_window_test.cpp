// The edge bar on the virtual server: on screen above other windows, drawn in
// the accent colour, and every click goes through it to the window below.
#include <gtest/gtest.h>

#include <QPalette>
#include <QWidget>

#include "engine/qt/edge_bar_window.h"
#include "geometry/arrangement.h"
#include "platform/sim/manual_clock.h"
#include "platform/x11/x11_display_services.h"
#include "qt_on_x.h"
#include "window_tree.h"
#include "x11_environment.h"
// After gtest and Qt: Xlib defines macros (None, Bool, Status) that clash with them.
#include <X11/Xlib.h>

#include "program_on_x.h"

namespace seam {
namespace {

using testing::xserver;

class X11EdgeBarTest : public testing::QtOnX {
  protected:
    void SetUp() override {
        ASSERT_NE(xserver(), nullptr);
        ASSERT_TRUE(xserver()->arrange());
        services = X11DisplayServices::open();
        ASSERT_NE(services, nullptr);
        arrangement.emplace(*services);
        x = XOpenDisplay(xserver()->name().c_str());
        ASSERT_NE(x, nullptr);
    }
    void TearDown() override {
        if (x) XCloseDisplay(x);
    }

    // A plain window of another client at root (wx, wy), listening for presses.
    Window underneath(int wx, int wy, int w, int h) {
        XSetWindowAttributes attrs{};
        attrs.override_redirect = True;
        attrs.background_pixel = WhitePixel(x, DefaultScreen(x));
        attrs.event_mask = ButtonPressMask | ExposureMask;
        const Window win =
            XCreateWindow(x, DefaultRootWindow(x), wx, wy, w, h, 0, CopyFromParent, InputOutput,
                          CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attrs);
        XMapRaised(x, win);
        XSync(x, False);
        return win;
    }
    bool viewable(Window w) {
        XWindowAttributes a{};
        return XGetWindowAttributes(x, w, &a) && a.map_state == IsViewable;
    }
    QRgb rootPixel(int px, int py) { return QRgb(user.rootPixel(px, py)); }

    std::unique_ptr<X11DisplayServices> services;
    std::optional<Arrangement> arrangement;
    Display* x = nullptr;
    testing::User user;
};

TEST_F(X11EdgeBarTest, OnTopInTheAccentColourAndClickThrough) {
    const Window below = underneath(100, 0, 600, 60);
    ASSERT_TRUE(waitFor([&] { return viewable(below); }));

    ManualClock clock;
    ManualScheduler scheduler(clock);
    EdgeBarWindow bar(*arrangement, scheduler);
    bar.show(Side::top, {200, 500}, 300, {0, 0, 1710, 1112}, 3.0);
    ASSERT_NE(bar.window(), nullptr);
    const Window strip = bar.window()->winId();
    ASSERT_TRUE(waitFor([&] { return viewable(strip); }));

    XWindowAttributes a{};
    ASSERT_TRUE(XGetWindowAttributes(x, strip, &a));
    EXPECT_TRUE(a.override_redirect);
    EXPECT_EQ((QRect(a.x, a.y, a.width, a.height)), QRect(200, 0, 300, 5));
    EXPECT_TRUE(testing::WindowTree().onTop({strip, strip, {a.x, a.y, a.width, a.height}}));

    // The marker is the solid accent; beside it the accent is blended over the white below.
    const QColor accent = bar.window()->palette().color(QPalette::Active, QPalette::Highlight);
    ASSERT_TRUE(waitFor([&] { return rootPixel(300, 2) == (accent.rgb() & 0xffffff); }))
        << std::hex << rootPixel(300, 2) << " " << accent.rgb();
    const QColor blended(rootPixel(400, 2));
    EXPECT_NE(blended.rgb() & 0xffffff, accent.rgb() & 0xffffff);
    EXPECT_NE(blended.rgb() & 0xffffff, 0xffffffu);

    // A click on the strip reaches the window below it.
    user.click(300, 2);
    XEvent ev{};
    ASSERT_TRUE(waitFor([&] { return XCheckTypedWindowEvent(x, below, ButtonPress, &ev); }));
    EXPECT_EQ(ev.xbutton.x, 200);
    EXPECT_EQ(ev.xbutton.y, 2);

    bar.hide();
    EXPECT_EQ(bar.window(), nullptr);
    ASSERT_TRUE(waitFor([&] { return !viewable(strip); }));
    XDestroyWindow(x, below);
    XSync(x, False);
}

}  // namespace
}  // namespace seam
