#include "platform/sim/manual_clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace seam {
namespace {

class SchedulerTest : public ::testing::Test {
  protected:
    ManualClock clock;
    ManualScheduler scheduler{clock};
    std::vector<std::string> ran;
    auto note(std::string what) {
        return [this, what] { ran.push_back(what + "@" + std::to_string(clock.uptime() - 1000)); };
    }
};

TEST_F(SchedulerTest, RunsInDueOrderAtDueTime) {
    scheduler.after(2.0, note("b"));
    scheduler.after(0.35, note("a"));
    scheduler.after(2.0, note("c"));  // same due time: scheduling order
    scheduler.advance(1.0);
    EXPECT_EQ(ran, (std::vector<std::string>{"a@0.350000"}));
    EXPECT_DOUBLE_EQ(clock.uptime(), 1001.0);
    scheduler.advance(1.0);
    EXPECT_EQ(ran, (std::vector<std::string>{"a@0.350000", "b@2.000000", "c@2.000000"}));
    EXPECT_EQ(scheduler.pending(), 0u);
}

TEST_F(SchedulerTest, WorkScheduledWhileRunningRunsInTheSameAdvance) {
    scheduler.after(0.5, [&] { scheduler.after(0.5, note("inner")); });
    scheduler.advance(0.99);
    EXPECT_TRUE(ran.empty());
    scheduler.advance(0.01);
    EXPECT_EQ(ran, (std::vector<std::string>{"inner@1.000000"}));
}

TEST_F(SchedulerTest, CancelAndRepeat) {
    const auto id = scheduler.after(1, note("never"));
    scheduler.cancel(id);
    scheduler.cancel(999);  // unknown: nothing happens
    int beats = 0;
    Scheduler::TaskId beat = 0;
    beat = scheduler.every(30, [&] {
        if (++beats == 3) scheduler.cancel(beat);
    });
    scheduler.advance(200);
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(beats, 3);
    EXPECT_EQ(scheduler.pending(), 0u);
}

TEST_F(SchedulerTest, ZeroDelayRunsOnRunDue) {
    scheduler.after(0, note("now"));
    EXPECT_TRUE(ran.empty());  // never synchronously
    scheduler.runDue();
    EXPECT_EQ(ran, (std::vector<std::string>{"now@0.000000"}));
}

}  // namespace
}  // namespace seam
