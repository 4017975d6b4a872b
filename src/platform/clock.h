// Time as the logic sees it. Nothing reads a clock or sleeps directly: a Clock
// and a Scheduler are injected, so tests can run virtual time.
#pragma once

#include <cstdint>
#include <functional>

namespace seam {

class Clock {
  public:
    virtual ~Clock() = default;
    // Monotonic seconds since an arbitrary start.
    virtual double uptime() const = 0;
    // Seconds since 1970-01-01 UTC.
    virtual double wallTime() const = 0;
};

class Scheduler {
  public:
    using TaskId = std::uint64_t;  // 0 is never a valid id
    virtual ~Scheduler() = default;
    // Runs fn once, seconds from now, on the main thread.
    virtual TaskId after(double seconds, std::function<void()> fn) = 0;
    // Runs fn every interval seconds until cancelled.
    virtual TaskId every(double interval, std::function<void()> fn) = 0;
    // Cancelling an unknown or finished task does nothing.
    virtual void cancel(TaskId id) = 0;
};

}  // namespace seam
