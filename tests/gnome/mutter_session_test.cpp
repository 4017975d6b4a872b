// The backend, and the built program without an X display, against a real
// headless compositor with two virtual monitors; results are read back with
// gdbus and from the files the compositor writes.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QEventLoop>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "headless_mutter.h"
#include "platform/gnome/qt/mutter_dbus.h"
#include "platform/gnome/qt/open_gnome.h"
#include "support/command.h"
#include "support/log_capture.h"
#include "support/session_bus.h"
#include "support/user_session.h"

namespace seam {
namespace {

namespace fs = std::filesystem;
using testing::HeadlessMutter;
using testing::logicalPosition;

// The built program on the compositor, without an X display.
std::string program(const HeadlessMutter* mutter, const std::string& args) {
    return testing::programOnWayland(mutter->socket(), args, mutter->busAddress());
}

// The compositor writes its record after answering: wait for the file to hold
// (or no longer hold) a text.
std::string savedWhen(const fs::path& path, const std::string& text, bool present) {
    std::string now;
    testing::waitUntil(
        [&] {
            return ((now = testing::fileText(path)).find(text) != std::string::npos) == present;
        },
        10);
    return now;
}

class MutterSessionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_gnome";
        static char* argv[] = {name, nullptr};
        // Lives to the end: the bus connection outlives the tests.
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
        mutter = HeadlessMutter::start(startError).release();
        // Read by the session bus connection when it is first made.
        if (mutter) ::setenv("DBUS_SESSION_BUS_ADDRESS", mutter->busAddress().c_str(), 1);
    }
    static void TearDownTestSuite() { delete mutter; }

    void SetUp() override {
        ASSERT_NE(mutter, nullptr) << startError;
        // Back to the monitors as they start, side by side, whatever a test left.
        int rc = 0;
        const std::string state = mutter->call("GetCurrentState", &rc);
        ASSERT_EQ(rc, 0) << state;
        int x = 0, y = 0;
        ASSERT_TRUE(logicalPosition(state, "Meta-1", x, y)) << state;
        if (x != 1920 || y != 0) {
            const std::string reply = mutter->placeSecond(1920, 0, &rc);
            ASSERT_EQ(rc, 0) << reply;
        }
        backend = openGnome(drm.path());
        ASSERT_NE(backend, nullptr);
    }

    std::string positions() const {
        const std::string state = mutter->call("GetCurrentState");
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool p0 = false, p1 = false;
        if (!logicalPosition(state, "Meta-0", x0, y0, &p0) ||
            !logicalPosition(state, "Meta-1", x1, y1, &p1))
            return state;
        std::ostringstream s;
        s << "Meta-0 " << x0 << "," << y0 << (p0 ? " primary" : "") << "; Meta-1 " << x1 << ","
          << y1 << (p1 ? " primary" : "");
        return s.str();
    }

    static inline HeadlessMutter* mutter = nullptr;
    static inline std::string startError;
    testing::TempDir drm;  // no DRM connectors: identity from the compositor
    std::unique_ptr<GnomeBackend> backend;
};

TEST_F(MutterSessionTest, OnlyWhereTheServiceIsOnTheBus) {
    testing::LogCapture log;
    EXPECT_EQ(
        openGnome(drm.path(), QDBusConnection::connectToBus("unix:path=/nonexistent", "none")),
        nullptr);
    // A session bus of another desktop: no compositor of ours on it.
    const testing::SessionBus bare;
    ASSERT_TRUE(bare.running());
    EXPECT_EQ(openGnome(drm.path(), QDBusConnection::connectToBus(
                                        QString::fromStdString(bare.address()), "bare")),
              nullptr);
    EXPECT_EQ(
        log.messages(),
        (std::vector<std::string>{
            "GNOME display configuration unavailable: no session bus",
            "GNOME display configuration unavailable: org.gnome.Mutter.DisplayConfig is not on "
            "the session bus"}));
    EXPECT_NE(openGnome(drm.path()), nullptr);
}

TEST_F(MutterSessionTest, ReadsBothMonitors) {
    GnomeDisplayServices& s = *backend->services;
    const std::uint32_t first = ConnectorIds().idFor("Meta-0");
    const std::uint32_t second = ConnectorIds().idFor("Meta-1");
    EXPECT_EQ(s.activeDisplays(),
              (std::vector<Disp>{{first, {0, 0, 1920, 1080}}, {second, {1920, 0, 1280, 1024}}}));
    EXPECT_EQ(s.onlineDisplays(), (std::vector<std::uint32_t>{first, second}));
    EXPECT_EQ(s.mainDisplay(), first);
    EXPECT_FALSE(s.isBuiltin(second));
    EXPECT_FALSE(s.mirrors(second));
    const DisplayHardware hw = backend->identity->hardware(second);
    EXPECT_EQ(hw.pixels, (std::pair<int, int>{1280, 1024}));
    EXPECT_EQ(hw.unit, 1u);
    EXPECT_EQ(hw.name, "MetaVendor");
}

TEST_F(MutterSessionTest, MovesTheSecondMonitorAndBackPersistently) {
    const fs::path saved = fs::path(mutter->configFolder()) / "monitors.xml";
    fs::remove(saved);
    GnomeDisplayServices& s = *backend->services;
    const std::uint32_t second = ConnectorIds().idFor("Meta-1");

    ASSERT_TRUE(s.configure({{second, -1280, 40}}));
    // Shifted to start at (0,0); the first stays primary.
    EXPECT_EQ(positions(), "Meta-0 1280,0 primary; Meta-1 0,40");
    EXPECT_EQ(s.activeDisplays().at(1).f, (Rect{-1280, 40, 1280, 1024}));
    // Only a persistent configuration is written where the compositor keeps it.
    const std::string xml = savedWhen(saved, "<x>1280</x>", true);
    EXPECT_NE(xml.find("<x>1280</x>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<connector>Meta-1</connector>"), std::string::npos) << xml;

    ASSERT_TRUE(s.configure({{second, 1920, 0}}));
    EXPECT_EQ(positions(), "Meta-0 0,0 primary; Meta-1 1920,0");
    EXPECT_EQ(savedWhen(saved, "<x>1280</x>", false).find("<x>1280</x>"), std::string::npos);
}

TEST_F(MutterSessionTest, RefusedConfigurationsAreFailures) {
    testing::LogCapture log;
    GnomeDisplayServices& s = *backend->services;
    const std::uint32_t second = ConnectorIds().idFor("Meta-1");
    EXPECT_FALSE(s.configure({{second, 1930, 0}}));
    EXPECT_EQ(log.messages(), std::vector<std::string>{
                                  "configure refused: the displays would not touch one another"});
    EXPECT_EQ(positions(), "Meta-0 0,0 primary; Meta-1 1920,0");

    // What the compositor refuses comes back as a failure with its reason.
    MutterDisplayConfig config;
    auto state = config.currentState();
    ASSERT_TRUE(state);
    MutterApply apart{
        .serial = state->serial,
        .logical = {{.x = 0, .primary = true, .monitors = {{"Meta-0", "1920x1080@60.000"}}},
                    {.x = 1930, .monitors = {{"Meta-1", "1280x1024@60.000"}}}}};
    std::string error;
    EXPECT_FALSE(config.apply(apart, &error));
    EXPECT_NE(error.find("adjacent"), std::string::npos) << error;
    apart.logical[1].x = 1920;
    apart.serial += 100;
    EXPECT_FALSE(config.apply(apart, &error)) << "another state's serial";
    EXPECT_EQ(positions(), "Meta-0 0,0 primary; Meta-1 1920,0");
}

TEST_F(MutterSessionTest, MonitorsChangedIsAChangeEvent) {
    std::vector<DisplayChange> seen;
    QEventLoop loop;
    ASSERT_EQ(backend->changes->registerCallback([&](std::uint32_t d, std::uint32_t f) {
        seen.push_back({d, f});
        loop.quit();
    }),
              0);
    // Another program (the desktop's settings) puts the second monitor below.
    int rc = 0;
    const std::string reply = mutter->placeSecond(0, 1080, &rc);
    ASSERT_EQ(rc, 0) << reply;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);  // only a guard against a hang
    if (seen.empty()) loop.exec();
    EXPECT_EQ(seen,
              (std::vector<DisplayChange>{{ConnectorIds().idFor("Meta-1"), changeFlag::moved}}));
    EXPECT_EQ(backend->services->activeDisplays().at(1).f, (Rect{0, 1080, 1280, 1024}));
}

TEST_F(MutterSessionTest, DumpDisplaysNamesTheBackendAndBothOutputs) {
    const auto r = testing::runCommand(program(mutter, "--dump-displays"));
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("backend=gnome"), std::string::npos) << r.out;
    for (const char* name : {"Meta-0", "Meta-1"})
        EXPECT_NE(r.out.find(name), std::string::npos) << name << '\n' << r.out;
}

TEST_F(MutterSessionTest, MoveTestMovesTheSecondOutputAndBack) {
    // The compositor refuses monitors that do not touch: the second goes below
    // the first, where 40 points to the right still touches.
    int rc = 0;
    const std::string reply = mutter->placeSecond(0, 1080, &rc);
    ASSERT_EQ(rc, 0) << reply;
    ASSERT_EQ(mutter->outputs()["Meta-1"].x, 0);
    testing::moveTestMovesAndReturns(program(mutter, "--movetest"),
                                     [&] { return mutter->outputs()["Meta-1"].x; });
}

}  // namespace
}  // namespace seam
