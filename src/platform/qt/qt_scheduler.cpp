#include "platform/qt/qt_scheduler.h"

#include <QDateTime>
#include <QTimer>
#include <cmath>

namespace seam {

double QtClock::wallTime() const {
    return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
}

QtScheduler::~QtScheduler() {
    for (auto& [id, timer] : timers_) delete timer;
}

Scheduler::TaskId QtScheduler::start(double seconds, bool repeat, std::function<void()> fn) {
    const TaskId id = next_++;
    auto* timer = new QTimer;
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(!repeat);
    timer->setInterval(static_cast<int>(std::lround(std::max(0.0, seconds) * 1000)));
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, repeat, fn = std::move(fn)] {
        if (!repeat) {
            // Forget the task before running it so it may schedule or cancel freely.
            auto it = timers_.find(id);
            if (it != timers_.end()) {
                it->second->deleteLater();
                timers_.erase(it);
            }
        }
        fn();
    });
    timers_[id] = timer;
    timer->start();
    return id;
}

Scheduler::TaskId QtScheduler::after(double seconds, std::function<void()> fn) {
    return start(seconds, false, std::move(fn));
}

Scheduler::TaskId QtScheduler::every(double interval, std::function<void()> fn) {
    return start(interval, true, std::move(fn));
}

void QtScheduler::cancel(TaskId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
}

}  // namespace seam
