// The pointer on the virtual server: raw motion and presses generated with
// XTEST reach the feed in global display space, warps land exactly, and an
// engine fed by it sees pushes at an outer edge.
#include <gtest/gtest.h>

#include <QWidget>
#include <optional>

#include "engine/engine.h"
#include "engine/qt/edge_bar_window.h"
#include "geometry/arrangement.h"
#include "platform/sim/manual_clock.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_display_services.h"
#include "platform/x11/x11_pointer.h"
#include "qt_on_x.h"
#include "support/log_capture.h"
#include "x11_environment.h"
// After gtest and Qt: Xlib defines macros (None, Bool, Status) that clash with them.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include "program_on_x.h"

namespace seam {
namespace {

using testing::VirtualXServer;
using testing::xserver;

struct Motion {
    Point p;
    double dx, dy;
    bool dragging;
};

class X11PointerTest : public testing::QtOnX {
  protected:
    void SetUp() override {
        ASSERT_NE(xserver(), nullptr);
        ASSERT_TRUE(xserver()->arrange());
        services = X11DisplayServices::open();
        ASSERT_NE(services, nullptr);
        pointer = X11Pointer::open(services->connection(), *services);
        ASSERT_NE(pointer, nullptr);
        pointer->onMotion = [this](Point p, double dx, double dy, bool drag) {
            motions.push_back({p, dx, dy, drag});
        };
        pointer->onLeftPress = [this](Point p) { presses.push_back(p); };
        ASSERT_TRUE(pointer->start());
        xtest = XOpenDisplay(xserver()->name().c_str());
        ASSERT_NE(xtest, nullptr);
    }
    void TearDown() override {
        if (xtest) XCloseDisplay(xtest);
    }

    // Moves the pointer by (dx, dy) through XTEST and waits until the feed reports it.
    std::optional<Motion> nudge(int dx, int dy) {
        const size_t before = motions.size();
        XTestFakeRelativeMotionEvent(xtest, dx, dy, 0);
        XSync(xtest, False);
        if (!waitFor([&] { return motions.size() > before; })) return std::nullopt;
        return motions.back();
    }
    void button(unsigned b, bool down) {
        XTestFakeButtonEvent(xtest, b, down, 0);
        XSync(xtest, False);
    }
    // Where the server, asked over another connection, has the pointer.
    Point rootPointer() {
        const testing::Pos p = user.pointer();
        return {double(p.x), double(p.y)};
    }

    std::unique_ptr<X11DisplayServices> services;
    std::unique_ptr<X11Pointer> pointer;
    Display* xtest = nullptr;
    testing::User user;
    std::vector<Motion> motions;
    std::vector<Point> presses;
};

TEST_F(X11PointerTest, HeldAtAnOuterEdgeTheDeltasGoOn) {
    struct Case {
        const char* name;
        Point at;  // on the last pixel of an outer edge, global
        int dx, dy;
    };
    const Case cases[] = {
        {"right edge of the monitor", {2989, 400}, 10, 0},
        {"left edge of the panel", {0, 600}, -10, 0},
        {"bottom edge of the panel", {900, 1111}, 0, 12},
        {"top edge of the monitor", {2000, 0}, 0, -8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pointer->warp(c.at);
        for (int i = 0; i < 3; ++i) {
            const auto m = nudge(c.dx, c.dy);
            ASSERT_TRUE(m);
            EXPECT_EQ(m->p, c.at);  // stopped by the edge
            EXPECT_EQ(m->dx, c.dx);
            EXPECT_EQ(m->dy, c.dy);
        }
    }
}

// After a change behind the feed's back, warps land exactly and motion arrives
// in global space with its deltas.
TEST_F(X11PointerTest, WarpsAndMotionInGlobalSpace) {
    struct Case {
        const char* name;
        const char* xrandrArgs;  // changed after the feed started
        Point target;            // global
        Point root;              // where it must land
    };
    const Case cases[] = {
        {"on the panel", "", {100, 200}, {100, 200}},
        {"on the monitor", "", {2500, 900}, {2500, 900}},
        {"rounded to whole pixels", "", {100.4, 200.6}, {100, 201}},
        // clang-format off
        {"monitor left of the panel", "--output DUMMY1 --pos 0x0 --output DUMMY0 --pos 1280x0",
         {-100, 300}, {1180, 300}},
        // clang-format on
        {"monitor primary", "--output DUMMY1 --primary", {-1000, 1000}, {710, 1000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(xserver()->arrange());
        if (*c.xrandrArgs) {
            int code = -1;
            xserver()->xrandr(c.xrandrArgs, &code);
            ASSERT_EQ(code, 0);
        }
        // A first nudge lets the feed see the change; where the pointer then is comes
        // from the server over another connection.
        auto m = nudge(1, 0);
        ASSERT_TRUE(m);
        const testing::Pos o = testing::at(xserver()->primaryOutput());
        const Point root = rootPointer();
        EXPECT_EQ(m->p, (Point{root.x - o.x, root.y - o.y}));

        pointer->warp(c.target);
        EXPECT_EQ(rootPointer(), c.root);
        const Point landed{std::round(c.target.x), std::round(c.target.y)};
        EXPECT_EQ(pointer->location(), landed);
        m = nudge(7, -3);
        ASSERT_TRUE(m);
        EXPECT_EQ(m->p, (Point{landed.x + 7, landed.y - 3}));
        EXPECT_EQ(m->dx, 7);
        EXPECT_EQ(m->dy, -3);
        EXPECT_FALSE(m->dragging);
    }
}

TEST_F(X11PointerTest, LeftPressesAndDrags) {
    pointer->warp({500, 500});
    button(3, true);
    button(3, false);
    button(1, true);
    ASSERT_TRUE(waitFor([&] { return !presses.empty(); }));
    EXPECT_EQ(presses, (std::vector<Point>{{500, 500}}));
    auto m = nudge(5, 5);
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->dragging);
    button(1, false);
    m = nudge(5, 5);
    ASSERT_TRUE(m);
    EXPECT_FALSE(m->dragging);
    EXPECT_EQ(presses.size(), 1u);  // the right button is not a click
}

TEST_F(X11PointerTest, AnEngineFedByTheServerSeesAPushTapAndShowsTheBar) {
    testing::LogCapture logs;
    ManualClock clock;
    ManualScheduler scheduler(clock);
    Arrangement arrangement(*services);
    auto bar = std::make_unique<EdgeBarWindow>(arrangement, scheduler);
    EdgeBarWindow* window = bar.get();
    Engine engine(arrangement, *pointer, clock, scheduler, std::move(bar));
    pointer->onMotion = [&](Point p, double dx, double dy, bool drag) {
        clock.advance(0.01);
        engine.handle(p, dx, dy, drag);
    };
    pointer->onLeftPress = [&](Point p) { engine.click(p); };
    pointer->warp({2989, 400});
    const long long before = engine.events();
    for (int i = 0; i < 12; ++i) {
        XTestFakeRelativeMotionEvent(xtest, 10, 0, 0);
        XSync(xtest, False);
    }
    ASSERT_TRUE(waitFor([&] { return !logs.messages().empty(); }));
    EXPECT_GT(engine.events(), before);
    EXPECT_EQ(logs.messages(), std::vector<std::string>{"tap1 aim side=right pos=400 accum=120"});

    // The preview strip runs down the monitor's right edge.
    QWidget* strip = window->window();
    ASSERT_NE(strip, nullptr);
    ASSERT_TRUE(waitFor([&] {
        XWindowAttributes a{};
        return XGetWindowAttributes(xtest, strip->winId(), &a) && a.map_state == IsViewable;
    }));
    XWindowAttributes a{};
    ASSERT_TRUE(XGetWindowAttributes(xtest, strip->winId(), &a));
    EXPECT_TRUE(a.override_redirect);
    EXPECT_EQ(a.x, 2985);
    EXPECT_EQ(a.y, 0);
    EXPECT_EQ(a.width, 5);

    // A click anywhere ends the aim and takes the strip away.
    button(1, true);
    button(1, false);
    ASSERT_TRUE(waitFor([&] { return window->window() == nullptr; }));
    EXPECT_EQ(logs.messages().back(), "aim cancelled by click");
}

}  // namespace
}  // namespace seam
