// Virtual time for tests: a clock that moves only when told, and a scheduler
// that runs delayed work in due order as virtual time is advanced.
#pragma once

#include <map>
#include <utility>

#include "platform/clock.h"

namespace seam {

class ManualClock : public Clock {
  public:
    double uptime() const override { return now_; }
    double wallTime() const override { return wallStart_ + now_; }
    void setUptime(double t) { now_ = t; }
    void setWallStart(double t) { wallStart_ = t; }
    void advance(double seconds) { now_ += seconds; }

  private:
    double now_ = 1000.0;
    double wallStart_ = 1.8e9;  // some time in 2027
};

class ManualScheduler : public Scheduler {
  public:
    explicit ManualScheduler(ManualClock& clock) : clock_(clock) {}

    TaskId after(double seconds, std::function<void()> fn) override;
    TaskId every(double interval, std::function<void()> fn) override;
    void cancel(TaskId id) override;

    // Moves virtual time forward, running every task that falls due on the way,
    // each at its own due time; ties run in the order they were scheduled.
    void advance(double seconds);
    // Runs what is due now without moving time.
    void runDue() { advance(0); }
    size_t pending() const { return tasks_.size(); }

  private:
    struct Task {
        TaskId id;
        double interval;  // 0 for one-shot
        std::function<void()> fn;
    };
    // Keyed by (due time, sequence) so equal due times keep scheduling order.
    std::map<std::pair<double, TaskId>, Task> tasks_;
    ManualClock& clock_;
    TaskId next_ = 1;
};

}  // namespace seam
