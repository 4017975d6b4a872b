#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "base/dry_run.h"
#include "geometry/arrangement.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_display_services.h"
#include "platform/x11/x11_transaction.h"
#include "program_on_x.h"
#include "support/log_capture.h"
#include "x11_environment.h"

namespace seam {
namespace {

using testing::at;
using testing::Pos;
using testing::VirtualXServer;
using testing::xserver;

std::optional<Rect> frameOf(const std::vector<Disp>& list, std::uint32_t id) {
    for (const Disp& d : list)
        if (d.id == id) return d.f;
    return std::nullopt;
}

class X11DisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(xserver(), nullptr);
        ASSERT_TRUE(xserver()->arrange(VirtualXServer::Monitors::two));
        panel = std::uint32_t(testing::outputId("DUMMY0"));
        external = std::uint32_t(testing::outputId("DUMMY1"));
        ASSERT_NE(panel, 0u);
        ASSERT_NE(external, 0u);
        services = X11DisplayServices::open();
        ASSERT_NE(services, nullptr);
        arrangement.emplace(*services);
    }

    std::uint32_t panel = 0;
    std::uint32_t external = 0;
    std::unique_ptr<X11DisplayServices> services;
    std::optional<Arrangement> arrangement;
};

TEST_F(X11DisplayTest, ReadsTheMonitorsInGlobalSpace) {
    struct Case {
        const char* name;
        VirtualXServer::Monitors monitors;
        const char* xrandrArgs;  // applied behind our back, by another client
        bool externalIsMain;
        Rect panelFrame;
        std::optional<Rect> externalFrame;  // none: connected, but without a picture
        Point mainRoot;                     // where global (0,0) lies in root coordinates
    };
    constexpr auto two = VirtualXServer::Monitors::two;
    constexpr Rect panelHome{0, 0, 1710, 1112};
    // clang-format off
    const Case cases[] = {
        {"side by side", two, "", false, panelHome, Rect{1710, 0, 1280, 960}, {0, 0}},
        {"external left", two, "--output DUMMY1 --pos 0x0 --output DUMMY0 --pos 1280x0",
         false, panelHome, Rect{-1280, 0, 1280, 960}, {1280, 0}},
        {"external above left", two, "--output DUMMY1 --pos 0x0 --output DUMMY0 --pos 1280x960",
         false, panelHome, Rect{-1280, -960, 1280, 960}, {1280, 960}},
        {"external primary", two, "--output DUMMY1 --primary",
         true, {-1710, 0, 1710, 1112}, Rect{0, 0, 1280, 960}, {1710, 0}},
        {"no primary set", two, "--noprimary", false, panelHome, Rect{1710, 0, 1280, 960}, {0, 0}},
        {"panel alone", VirtualXServer::Monitors::one, "", false, panelHome, {}, {0, 0}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(xserver()->arrange(c.monitors));
        if (*c.xrandrArgs) {
            int rc = 1;
            xserver()->xrandr(c.xrandrArgs, &rc);
            ASSERT_EQ(rc, 0);
        }
        const auto list = arrangement->displays();
        ASSERT_EQ(list.size(), c.externalFrame ? 2u : 1u);
        EXPECT_EQ(list[0].id, panel);  // screen-resources order
        EXPECT_EQ(list[0].f, c.panelFrame);
        EXPECT_EQ(frameOf(list, external), c.externalFrame);
        EXPECT_EQ(services->onlineDisplays().size(), 2u);
        EXPECT_EQ(services->mainDisplay(), c.externalIsMain ? external : panel);
        EXPECT_EQ(services->toToolkit({10, 20, 30, 40}),
                  (Rect{10 + c.mainRoot.x, 20 + c.mainRoot.y, 30, 40}));
        EXPECT_FALSE(services->mirrors(external));
    }
}

TEST_F(X11DisplayTest, MovesReadBackExactlyOnTheServer) {
    struct Case {
        const char* name;
        std::vector<std::pair<bool, Point>> asked;  // (the panel?, where)
        Rect panelFrame, externalFrame;             // read back by us
        Pos panelRoot, externalRoot;                // read back by xrandr
        const char* primary;
        const char* screen;  // shrunk or grown to the bounding box
    };
    constexpr Rect home{0, 0, 1710, 1112};
    // clang-format off
    const Case cases[] = {
        {"above left, negative origin", {{false, {-300, -960}}},
         home, {-300, -960, 1280, 960}, {300, 960}, {0, 0}, "DUMMY0", "2010 x 2072"},
        {"halves round away from zero", {{false, {100.5, 1112}}},
         home, {101, 1112, 1280, 960}, {0, 0}, {101, 1112}, "DUMMY0", "1710 x 2072"},
        {"negative halves", {{false, {-100.5, -960.5}}},
         home, {-101, -961, 1280, 960}, {101, 961}, {0, 0}, "DUMMY0", "1811 x 2073"},
        {"right, 40 further", {{false, {1750, 0}}},
         home, {1750, 0, 1280, 960}, {0, 0}, {1750, 0}, "DUMMY0", "3030 x 1112"},
        {"the display placed at zero becomes primary", {{false, {0, 0}}, {true, {-1710, 0}}},
         {-1710, 0, 1710, 1112}, {0, 0, 1280, 960}, {0, 0}, {1710, 0}, "DUMMY1", "2990 x 1112"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(xserver()->arrange());
        std::vector<Move> moves;
        for (const auto& [isPanel, to] : c.asked) moves.push_back({isPanel ? panel : external, to});
        ASSERT_TRUE(arrangement->setOrigins(moves));
        const auto list = arrangement->displays();
        EXPECT_EQ(frameOf(list, panel), c.panelFrame);
        EXPECT_EQ(frameOf(list, external), c.externalFrame);
        EXPECT_EQ(at("DUMMY0"), c.panelRoot);
        EXPECT_EQ(at("DUMMY1"), c.externalRoot);
        EXPECT_EQ(xserver()->primaryOutput(), c.primary);
        EXPECT_EQ(services->mainDisplay(), c.primary == std::string("DUMMY0") ? panel : external);
        const std::string out = xserver()->xrandr("--current");
        EXPECT_NE(out.find("current " + std::string(c.screen) + ","), std::string::npos) << out;
    }
}

TEST_F(X11DisplayTest, AnImpossibleOrUnknownMoveLeavesBothWhereTheyWere) {
    // 40000 lies past the largest screen the server allows (32767).
    for (const std::uint32_t second : {panel, 12345u}) {
        SCOPED_TRACE(second);
        EXPECT_FALSE(arrangement->setOrigins({{external, {1800, 0}}, {second, {40000, 0}}}));
        EXPECT_EQ(at("DUMMY0"), (Pos{0, 0}));
        EXPECT_EQ(at("DUMMY1"), (Pos{1710, 0}));
        EXPECT_EQ(frameOf(arrangement->displays(), external), (Rect{1710, 0, 1280, 960}));
    }
}

TEST_F(X11DisplayTest, DryRunChangesNothingAndLogsOnce) {
    testing::LogCapture capture;
    overrideDryRun(true);
    const bool ok = arrangement->setOrigin(external, {1750, 0});
    overrideDryRun(std::nullopt);
    EXPECT_TRUE(ok);
    EXPECT_EQ(at("DUMMY1"), (Pos{1710, 0}));
    ASSERT_EQ(capture.messages().size(), 1u);
    EXPECT_NE(
        capture.messages()[0].find("would configure id=" + std::to_string(external) + "->(1750,0)"),
        std::string::npos);
}

// The server leaves the pointer at its root position while the monitors move
// under it; it must stay on the same spot of the same monitor.
TEST_F(X11DisplayTest, PointerStaysOnItsSpotWhileTheRootShifts) {
    Display* d = XOpenDisplay(xserver()->name().c_str());
    ASSERT_NE(d, nullptr);
    const Window root = DefaultRootWindow(d);
    struct Case {
        const char* name;
        std::optional<Point> before;  // where the external stands first
        Pos pointer;
        Point externalTo;
        Pos after;
    };
    // clang-format off
    const Case cases[] = {
        {"on the panel while everything shifts right", {}, {500, 500}, {-1280, 0}, {1780, 500}},
        {"undone: the panel goes back to root 0", Point{-1280, 0}, {1780, 500}, {1710, 0},
         {500, 500}},
        {"on the external, which goes left", {}, {2000, 100}, {-1280, 0}, {290, 100}},
        {"on the panel, nothing shifts", {}, {500, 500}, {1710, 300}, {500, 500}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(xserver()->arrange());
        if (c.before) {
            ASSERT_TRUE(arrangement->setOrigin(external, *c.before));
        }
        XWarpPointer(d, None, root, 0, 0, 0, 0, c.pointer.x, c.pointer.y);
        XSync(d, False);
        ASSERT_TRUE(arrangement->setOrigin(external, c.externalTo));
        Window r = 0, child = 0;
        Pos at;
        int wx = 0, wy = 0;
        unsigned mask = 0;
        ASSERT_TRUE(XQueryPointer(d, root, &r, &child, &at.x, &at.y, &wx, &wy, &mask));
        EXPECT_EQ(at, c.after);
    }
    XCloseDisplay(d);
}

// Counts RRCrtcChangeNotify events per CRTC seen by a second client.
class CrtcWatcher {
  public:
    CrtcWatcher() : d_(XOpenDisplay(nullptr)) {
        XRRQueryExtension(d_, &eventBase_, &errorBase_);
        XRRSelectInput(d_, DefaultRootWindow(d_), RRCrtcChangeNotifyMask);
        XSync(d_, False);
    }
    ~CrtcWatcher() { XCloseDisplay(d_); }
    RRCrtc crtcOf(unsigned long output) {
        XRRScreenResources* res = XRRGetScreenResourcesCurrent(d_, DefaultRootWindow(d_));
        XRROutputInfo* info = XRRGetOutputInfo(d_, res, output);
        const RRCrtc c = info->crtc;
        XRRFreeOutputInfo(info);
        XRRFreeScreenResources(res);
        return c;
    }
    std::map<RRCrtc, int> changes() {
        XSync(d_, False);  // events from earlier requests of other clients come first
        std::map<RRCrtc, int> out;
        while (XPending(d_)) {
            XEvent ev;
            XNextEvent(d_, &ev);
            if (ev.type == eventBase_ + RRNotify &&
                reinterpret_cast<XRRNotifyEvent*>(&ev)->subtype == RRNotify_CrtcChange)
                ++out[reinterpret_cast<XRRCrtcChangeNotifyEvent*>(&ev)->crtc];
        }
        return out;
    }

  private:
    Display* d_;
    int eventBase_ = 0, errorBase_ = 0;
};

TEST_F(X11DisplayTest, OnlyCrtcsThatMoveAreSet) {
    CrtcWatcher watcher;
    const RRCrtc panelCrtc = watcher.crtcOf(panel), externalCrtc = watcher.crtcOf(external);
    watcher.changes();

    // Right of the panel: the panel's root position stays.
    ASSERT_TRUE(arrangement->setOrigin(external, {1750, 0}));
    auto seen = watcher.changes();
    EXPECT_EQ(seen[panelCrtc], 0);
    EXPECT_GE(seen[externalCrtc], 1);

    // Left of the panel: the shift to non-negative root coordinates moves both.
    ASSERT_TRUE(arrangement->setOrigin(external, {-1280, 0}));
    seen = watcher.changes();
    EXPECT_GE(seen[panelCrtc], 1);
    EXPECT_GE(seen[externalCrtc], 1);
}

// A failure in the middle of the transaction, forced where the server would
// not fail on its own or refused by the server, must put back what was already changed.
TEST_F(X11DisplayTest, FailedStepRestoresEverythingChanged) {
    auto conn = X11Connection::open();
    ASSERT_NE(conn, nullptr);
    Display* d = conn->display();
    // Forced at the first or the second step; -1: the server refuses the second.
    for (int failAt : {0, 1, -1}) {
        SCOPED_TRACE(failAt);
        ASSERT_TRUE(xserver()->arrange());
        const auto state = readScreenState(d, conn->root());
        ASSERT_TRUE(state);
        ScreenLimits limits{64, 64, 32767, 32767};
        // The external becomes primary with the panel below left of it: both CRTCs
        // move, the screen grows and the primary changes.
        auto plan =
            planConfiguration(*state, 2990, 1112, limits, {{external, 0, 0}, {panel, -1800, 300}});
        ASSERT_TRUE(plan);
        ASSERT_EQ(plan->moves.size(), 2u);
        // Past the screen; the first CRTC has moved by then.
        if (failAt < 0) plan->moves[1].x = plan->width + 100;
        XGrabServer(d);
        const bool ok = applyConfiguration(d, conn->root(), *state, *plan, nullptr,
                                           [&](std::size_t step) { return int(step) != failAt; });
        XUngrabServer(d);
        XSync(d, False);
        EXPECT_FALSE(ok);
        EXPECT_EQ(at("DUMMY0"), (Pos{0, 0}));
        EXPECT_EQ(at("DUMMY1"), (Pos{1710, 0}));
        EXPECT_EQ(xserver()->primaryOutput(), "DUMMY0");
        const std::string out = xserver()->xrandr("");
        EXPECT_NE(out.find("current 2990 x 1112"), std::string::npos) << out;
    }
}

}  // namespace
}  // namespace seam
