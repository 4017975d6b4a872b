// The change gate's decisions and the 2.0 s settle of a burst of events, on the
// simulated window server with virtual time.
#include "suggest/display_change_gate.h"

#include <gtest/gtest.h>

#include "geometry/arrangement.h"
#include "platform/sim/manual_clock.h"
#include "platform/sim/sim_display_changes.h"
#include "support/edid_builder.h"
#include "support/log_capture.h"

namespace seam {
namespace {

using namespace changeFlag;

TEST(DisplayChangeGateTest, SettleDecidesOnMembershipOrSignature) {
    struct Case {
        const char* what;
        std::vector<std::uint32_t> events;
        std::string signature;
        bool changed;
    };
    const Case cases[] = {
        {"rearranged only", {moved, moved | setMain, setMode}, "1,2", false},
        {"unplugged and back", {remove | disabled, add | enabled}, "1,2", true},
        {"new ids without membership bits", {moved}, "1,2,3", true},
        {"nothing at all", {}, "1,2", false},
        {"mirrored", {mirror}, "1,2", true},
        {"unmirrored", {unmirror}, "1,2", true},
        {"switched on", {enabled}, "1,2", true},
        {"switched off", {disabled}, "1,2", true},
        {"begin bit alone is no membership", {beginConfiguration}, "1,2", false},
    };
    for (const Case& c : cases) {
        DisplayChangeGate gate("1,2");
        for (std::uint32_t f : c.events) gate.note(f);
        EXPECT_EQ(gate.settle(c.signature), c.changed) << c.what;
        EXPECT_EQ(gate.flags, 0u) << c.what;
        EXPECT_FALSE(gate.membership) << c.what;
        EXPECT_EQ(gate.lastSignature, c.signature) << c.what;
        // The next settle with no events and the same set finds nothing.
        EXPECT_FALSE(gate.settle(c.signature)) << c.what;
    }
    DisplayChangeGate gate;
    gate.note(moved);
    gate.note(add | setMode);
    EXPECT_EQ(gate.flags, moved | add | setMode);
    EXPECT_TRUE(gate.membership);
    EXPECT_EQ(hexFlags(0), "0x0");
    EXPECT_EQ(hexFlags(0xF30), "0xf30");
}

class WatcherTest : public ::testing::Test {
  protected:
    WatcherTest() {
        server.addDisplay({.id = 1,
                           .frame = {0, 0, 1710, 1112},
                           .builtin = true,
                           .vendor = 1552,
                           .model = 41234,
                           .serial = 12345});
        server.addDisplay({.id = 2,
                           .frame = {1710, 0, 1280, 960},
                           .vendor = 19501,
                           .model = 2073,
                           .serial = 777});
        // Events compare with the server as it stands now.
        changesPtr = std::make_unique<SimDisplayChanges>(server);
        watcherPtr = std::make_unique<DisplayChangeWatcher>(
            changes(), scheduler, [this] { return readLiveDisplays(arrangement, server); });
    }
    SimDisplayChanges& changes() { return *changesPtr; }
    DisplayChangeWatcher& watcher() { return *watcherPtr; }
    void start() {
        watcher().onChanged = [this](const std::vector<LiveDisplay>& live) {
            considered.push_back(live);
        };
        ASSERT_EQ(watcher().start(), 0);
    }
    std::vector<std::string> settledLines() const {
        std::vector<std::string> out;
        for (const auto& m : logs.messages())
            if (m.rfind("displays settled", 0) == 0) out.push_back(m);
        return out;
    }

    testing::LogCapture logs;
    SimDisplayServer server;
    Arrangement arrangement{server};
    ManualClock clock;
    ManualScheduler scheduler{clock};
    std::unique_ptr<SimDisplayChanges> changesPtr;
    std::unique_ptr<DisplayChangeWatcher> watcherPtr;
    std::vector<std::vector<LiveDisplay>> considered;
};

TEST_F(WatcherTest, TenEventsHalfASecondApartSettleOnceTwoSecondsAfterTheLast) {
    start();
    for (int i = 0; i < 10; ++i) {
        changes().post(2, beginConfiguration);
        changes().post(2, moved);
        scheduler.advance(0.5);
    }
    // The last event came 0.5 s ago: its settle falls due 1.5 s from now.
    scheduler.advance(1.25);
    EXPECT_TRUE(settledLines().empty());
    scheduler.advance(0.25);
    ASSERT_EQ(settledLines().size(), 1u);
    EXPECT_EQ(settledLines()[0].rfind("displays settled flags=0x2 set-changed=false id=1[주] ", 0),
              0u)
        << settledLines()[0];
    EXPECT_TRUE(considered.empty());
    scheduler.advance(60);
    EXPECT_EQ(settledLines().size(), 1u);
}

TEST_F(WatcherTest, BeginEventsAloneNeitherNoteNorRestartTheWait) {
    start();
    int reconfigured = 0;
    watcher().onReconfigured = [&] { ++reconfigured; };
    changes().post(2, moved);
    scheduler.advance(1.5);
    changes().post(2, beginConfiguration);
    changes().post(2, beginConfiguration | add);
    scheduler.advance(0.5);
    ASSERT_EQ(settledLines().size(), 1u);
    EXPECT_NE(settledLines()[0].find("flags=0x2 "), std::string::npos);
    EXPECT_EQ(reconfigured, 1);
}

TEST_F(WatcherTest, AnotherMonitorOnTheSameConnectorIsAChangeOfMonitors) {
    server.find(2)->edid = testing::buildEdid({.pnp = "SAM", .product = 2073, .serial = 777});
    changes().poll();  // the EDID as first read is no change
    start();
    // Swapped while the machine slept: same connector, same id, another monitor.
    server.find(2)->edid = testing::buildEdid({.pnp = "DEL", .product = 16600, .serial = 4242});
    server.find(2)->vendor = 4268;
    server.find(2)->model = 16600;
    changes().poll();
    scheduler.advance(2.0);
    ASSERT_EQ(settledLines().size(), 1u);
    EXPECT_EQ(settledLines()[0].rfind("displays settled flags=0x330 set-changed=true ", 0), 0u)
        << settledLines()[0];
    ASSERT_EQ(considered.size(), 1u);
    ASSERT_EQ(considered[0].size(), 2u);
    EXPECT_EQ(considered[0][1].ident.vendor, 4268u);
}

TEST_F(WatcherTest, EventsAreHandledQueuedOnTheMainLoop) {
    start();
    changes().post(2, add);
    // The callback only queued the work.
    EXPECT_EQ(watcher().changeGate().flags, 0u);
    scheduler.runDue();
    EXPECT_EQ(watcher().changeGate().flags, add);
    EXPECT_TRUE(watcher().waiting());
}

TEST_F(WatcherTest, PluggingInAMonitorIsConsideredOnceWithTheNewSet) {
    start();
    // The monitors present at start are the known set.
    EXPECT_EQ(watcher().changeGate().lastSignature, "1,2");
    server.addDisplay(
        {.id = 3, .frame = {-1920, 0, 1920, 1080}, .vendor = 19501, .model = 9, .serial = 42});
    changes().poll();
    scheduler.advance(2.0);
    ASSERT_EQ(considered.size(), 1u);
    EXPECT_EQ(setSignature(considered[0]), "1,2,3");
    ASSERT_EQ(settledLines().size(), 1u);
    EXPECT_EQ(settledLines()[0].rfind("displays settled flags=0x110 set-changed=true ", 0), 0u)
        << settledLines()[0];

    // Moving it afterwards is no change of the set.
    server.find(3)->frame.y = 120;
    changes().poll();
    scheduler.advance(2.0);
    EXPECT_EQ(considered.size(), 1u);
    EXPECT_EQ(settledLines().size(), 2u);
}

TEST_F(WatcherTest, UnpluggedAndBackWithinTheWaitStillCounts) {
    start();
    const SimDisplay second = *server.find(2);
    server.removeDisplay(2);
    changes().poll();
    scheduler.advance(1.0);
    server.addDisplay(second);
    changes().poll();
    scheduler.advance(2.0);
    ASSERT_EQ(considered.size(), 1u);
    EXPECT_EQ(setSignature(considered[0]), "1,2");
    EXPECT_NE(settledLines().at(0).find("flags=0x330 set-changed=true"), std::string::npos);
}

TEST_F(WatcherTest, RefusedRegistrationIsReportedAndNothingArrives) {
    changes().registrationStatus = 1001;
    EXPECT_EQ(watcher().start(), 1001);
    changes().post(2, add);
    scheduler.advance(5);
    EXPECT_TRUE(settledLines().empty());
}

TEST_F(WatcherTest, EventsAfterTheWatcherIsGoneDoNothing) {
    auto own = std::make_unique<DisplayChangeWatcher>(
        changes(), scheduler, [this] { return readLiveDisplays(arrangement, server); });
    ASSERT_EQ(own->start(), 0);
    changes().post(2, add);
    own.reset();
    changes().post(2, add);
    scheduler.advance(5);
    EXPECT_TRUE(settledLines().empty());
}

}  // namespace
}  // namespace seam
