// The wlroots backend, and the built program without an X display, against a
// real compositor: a private headless sway with two outputs. Positions are read
// back through sway's own IPC, never through the code under test.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <map>

#include "headless_sway.h"
#include "platform/display_changes.h"
#include "platform/wlroots/wlroots_platform.h"
#include "support/log_capture.h"
#include "support/user_session.h"

namespace seam {
namespace {

using testing::HeadlessSway;
using testing::ShownOutput;

class SwayTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_wlroots";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
        sway = HeadlessSway::start().release();
    }
    static void TearDownTestSuite() { delete sway; }
    void SetUp() override {
        ASSERT_NE(sway, nullptr) << HeadlessSway::lastError();
        ASSERT_TRUE(sway->arrange());
        parts = openWlroots(sway->socket().c_str());
        ASSERT_NE(parts, nullptr);
    }
    std::uint32_t idOf(const std::string& name) {
        for (const WlrDisplay& d : parts->services->layout().displays)
            if (d.name == name) return d.id;
        return 0;
    }
    // Lets the Qt loop read the connection until the condition holds; the
    // compositor answers within moments, the limit only ends a broken run.
    template <typename F>
    bool processUntil(F done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done() && std::chrono::steady_clock::now() < end)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return done();
    }

    static inline HeadlessSway* sway = nullptr;
    std::unique_ptr<WlrootsPlatformParts> parts;
};

TEST_F(SwayTest, ReadsBothOutputsInGlobalSpace) {
    const std::uint32_t first = idOf("HEADLESS-1"), second = idOf("HEADLESS-2");
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    const auto active = parts->services->activeDisplays();
    ASSERT_EQ(active.size(), 2u);
    EXPECT_EQ(active[0], (Disp{first, {0, 0, 1710, 1112}}));
    EXPECT_EQ(active[1], (Disp{second, {1710, 0, 1280, 960}}));
    EXPECT_EQ(parts->services->mainDisplay(), first);
    const auto online = parts->services->onlineDisplays();
    EXPECT_NE(std::find(online.begin(), online.end(), second), online.end());
    EXPECT_FALSE(parts->services->mirrors(second));
    EXPECT_FALSE(parts->services->isBuiltin(first));

    // The main display moved away from the layout's origin: global space follows it.
    ASSERT_EQ(sway->swaymsg("output HEADLESS-1 position 100 50").find("\"success\": true") !=
                  std::string::npos,
              true);
    ASSERT_TRUE(parts->client->roundtrip());
    ASSERT_TRUE(parts->client->roundtrip());
    const auto shifted = parts->services->activeDisplays();
    ASSERT_EQ(shifted.size(), 2u);
    EXPECT_EQ(parts->services->mainDisplay(), first);
    EXPECT_EQ(shifted[0].f, (Rect{0, 0, 1710, 1112}));
    EXPECT_EQ(shifted[1].f, (Rect{1610, -50, 1280, 960}));
    EXPECT_EQ(parts->services->toToolkit({1610, -50, 10, 10}), (Rect{1710, 0, 10, 10}));
}

TEST_F(SwayTest, MovesTheSecondOutputAndBackInOneConfiguration) {
    const std::uint32_t second = idOf("HEADLESS-2");
    ASSERT_NE(second, 0u);
    const auto placeOf = [&](const std::string& name) {
        const ShownOutput o = sway->outputs()[name];
        return std::tuple(o.x, o.y, o.width, o.active);
    };
    ASSERT_TRUE(parts->services->configure({{second, 1710, 40}}));
    EXPECT_EQ(placeOf("HEADLESS-2"), std::tuple(1710, 40, 1280, true));
    EXPECT_EQ(placeOf("HEADLESS-1"), std::tuple(0, 0, 1710, true));
    // The new arrangement was taken in before configure returned, without
    // anyone reading the connection again.
    const auto active = layoutOf(parts->client->heads(), parts->client->shown()).active();
    ASSERT_EQ(active.size(), 2u);
    EXPECT_EQ(active[1].f, (Rect{1710, 40, 1280, 960}));

    ASSERT_TRUE(parts->services->configure({{second, 1710, 0}}));
    EXPECT_EQ(placeOf("HEADLESS-2"), std::tuple(1710, 0, 1280, true));
}

// Sway 1.7 on headless outputs takes every mode it is given (even 600000000x1),
// so the refusal here is the other one the protocol has: the outputs changed
// after the state the configuration was made for.
TEST_F(SwayTest, ConfigurationForAnOlderStateIsRefusedAndChangesNothing) {
    const std::uint32_t second = idOf("HEADLESS-2");
    const auto plan =
        planConfiguration(parts->client->heads(), parts->client->shown(), {{second, 0, 1112}});
    ASSERT_TRUE(plan);
    int rc = 0;
    sway->swaymsg("create_output", &rc);
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(parts->client->apply(*plan), WlrApplyOutcome::cancelled);
    const ShownOutput after = sway->outputs()["HEADLESS-2"];
    EXPECT_EQ(std::pair(after.x, after.y), std::pair(1710, 0));
    for (const auto& [name, o] : sway->outputs())
        if (name != "HEADLESS-1" && name != "HEADLESS-2")
            sway->swaymsg("output " + name + " disable");
}

// Sway 1.7 can neither unplug a headless output nor report one switched off
// (no event at all follows "output ... disable"): heads that go are covered by
// the recorded-event tests.
TEST_F(SwayTest, OutputMadeIsAChange) {
    // Flags of one display may come in several events, as the gate sees them.
    std::map<std::uint32_t, std::uint32_t> seen;
    ASSERT_EQ(parts->changes->registerCallback(
                  [&](std::uint32_t id, std::uint32_t flags) { seen[id] |= flags; }),
              0);
    int rc = 0;
    sway->swaymsg("create_output", &rc);
    ASSERT_EQ(rc, 0);
    const auto madeId = [&]() -> std::uint32_t {
        for (auto [id, flags] : seen)
            if ((flags & changeFlag::add) && (flags & changeFlag::enabled)) return id;
        return 0u;
    };
    ASSERT_TRUE(processUntil([&] { return madeId() != 0; }));
    const std::uint32_t made = madeId();
    std::string madeName;
    for (const WlrDisplay& d : parts->services->layout().displays)
        if (d.id == made) madeName = d.name;
    ASSERT_FALSE(madeName.empty());
    EXPECT_NE(madeName, "HEADLESS-1");
    EXPECT_NE(madeName, "HEADLESS-2");

    // The two others did not change.
    EXPECT_FALSE(seen.contains(idOf("HEADLESS-1")));
    EXPECT_FALSE(seen.contains(idOf("HEADLESS-2")));
    sway->swaymsg("output " + madeName + " disable");
}

TEST_F(SwayTest, DumpDisplaysNamesTheBackendAndBothOutputs) {
    struct Case {
        const char* requested;  // SEAMWRIGHT_BACKEND
        int exitCode;
        const char* shows;
    };
    const Case cases[] = {
        {"", 0, "backend=wlroots"},
        {"SEAMWRIGHT_BACKEND=wlroots", 0, "backend=wlroots"},
        // Asked for, but this compositor has no such management: one line, no dump.
        {"SEAMWRIGHT_BACKEND=kwin", 2, "seamwright: the kwin backend: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested);
        const auto r = testing::runCommand(
            testing::programOnWayland(sway->socket(), "--dump-displays", "", c.requested));
        EXPECT_EQ(r.exitCode, c.exitCode) << r.out;
        EXPECT_NE(r.out.find(c.shows), std::string::npos) << r.out;
        for (const char* name : {"HEADLESS-1", "HEADLESS-2"})
            EXPECT_EQ(r.out.find(name) != std::string::npos, c.exitCode == 0) << name << '\n'
                                                                              << r.out;
    }
}

TEST_F(SwayTest, MoveTestMovesTheSecondOutputAndBack) {
    ASSERT_EQ(sway->outputs()["HEADLESS-2"].x, 1710);
    testing::moveTestMovesAndReturns(testing::programOnWayland(sway->socket(), "--movetest"),
                                     [&] { return sway->outputs()["HEADLESS-2"].x; });
}

TEST(WlrootsOpenTest, NoCompositorIsSaidInTheLog) {
    testing::LogCapture logs;
    EXPECT_EQ(openWlroots("/nonexistent/wayland-9"), nullptr);
    const auto lines = logs.messages();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "wlroots backend unavailable: cannot connect to the Wayland compositor");
}

}  // namespace
}  // namespace seam
