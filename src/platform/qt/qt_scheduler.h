// Clock and scheduler of the running application, on Qt's event loop.
#pragma once

#include <QElapsedTimer>
#include <unordered_map>

#include "platform/clock.h"

class QTimer;

namespace seam {

class QtClock : public Clock {
  public:
    QtClock() { timer_.start(); }
    double uptime() const override { return static_cast<double>(timer_.nsecsElapsed()) / 1e9; }
    double wallTime() const override;

  private:
    QElapsedTimer timer_;
};

class QtScheduler : public Scheduler {
  public:
    ~QtScheduler() override;
    TaskId after(double seconds, std::function<void()> fn) override;
    TaskId every(double interval, std::function<void()> fn) override;
    void cancel(TaskId id) override;

  private:
    TaskId start(double seconds, bool repeat, std::function<void()> fn);
    std::unordered_map<TaskId, QTimer*> timers_;
    TaskId next_ = 1;
};

}  // namespace seam
