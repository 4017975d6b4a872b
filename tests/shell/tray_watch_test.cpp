#include "shell/tray_watch.h"

#include <gtest/gtest.h>

#include "platform/sim/manual_clock.h"
#include "support/log_capture.h"

namespace seam {
namespace {

TEST(TrayWatch, ALateHostIsAwaitedAMissingOneIsToldOnceAndALaterOneNoticed) {
    constexpr double never = 1e9;
    struct Case {
        const char* name;
        double hostFrom;   // seconds after start when a tray host is there
        double busyUntil;  // seconds after start when align mode closes
        std::vector<std::string> log;
        int missing, appeared;
        double missingAt;  // when the settings window opens
    };
    const std::string none = "tray: no tray host, so no tray icon; opening the settings window";
    const std::string wait = none + " once the screens are free";
    const std::string came = "tray: a tray host appeared";
    const Case cases[] = {
        {"there from the start", 0, 0, {}, 0, 0, 0},
        {"a panel just after us", 4.9, 0, {}, 0, 0, 0},
        {"none at all", never, 0, {none}, 1, 0, 5},
        {"one much later", 61, 0, {none, came}, 1, 1, 5},
        {"none, align mode open", never, 12, {wait}, 1, 0, 15},
        {"a panel while align mode is open", 9, 12, {wait, came}, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::LogCapture log;
        ManualClock clock;
        ManualScheduler scheduler(clock);
        const double started = clock.uptime();
        int missing = 0, appeared = 0;
        double missingAt = 0;
        {
            TrayWatch watch(scheduler, [&] { return clock.uptime() - started >= c.hostFrom; });
            watch.onMissing = [&] {
                ++missing;
                missingAt = clock.uptime() - started;
            };
            watch.onAppeared = [&] { ++appeared; };
            watch.busy = [&] { return clock.uptime() - started < c.busyUntil; };
            watch.start();
            scheduler.advance(TrayWatch::grace - 0.01);
            EXPECT_EQ(missing, 0);
            scheduler.advance(120);
            EXPECT_NEAR(missingAt, c.missingAt, 0.02);
            EXPECT_EQ(log.messages(), c.log);
            EXPECT_EQ(missing, c.missing);
            EXPECT_EQ(appeared, c.appeared);
            // Once a host is there nothing looks any more.
            EXPECT_EQ(scheduler.pending(), c.hostFrom == never ? 1u : 0u);
        }
        EXPECT_EQ(scheduler.pending(), 0u);
    }
}

}  // namespace
}  // namespace seam
