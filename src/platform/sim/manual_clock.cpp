#include "platform/sim/manual_clock.h"

#include <algorithm>

namespace seam {

Scheduler::TaskId ManualScheduler::after(double seconds, std::function<void()> fn) {
    const TaskId id = next_++;
    tasks_.emplace(std::pair{clock_.uptime() + std::max(0.0, seconds), id},
                   Task{id, 0, std::move(fn)});
    return id;
}

Scheduler::TaskId ManualScheduler::every(double interval, std::function<void()> fn) {
    const TaskId id = next_++;
    const double step = std::max(interval, 1e-6);
    tasks_.emplace(std::pair{clock_.uptime() + step, id}, Task{id, step, std::move(fn)});
    return id;
}

void ManualScheduler::cancel(TaskId id) {
    std::erase_if(tasks_, [id](const auto& kv) { return kv.second.id == id; });
}

void ManualScheduler::advance(double seconds) {
    const double target = clock_.uptime() + std::max(0.0, seconds);
    while (!tasks_.empty() && tasks_.begin()->first.first <= target) {
        auto node = tasks_.extract(tasks_.begin());
        clock_.setUptime(std::max(clock_.uptime(), node.key().first));
        Task task = std::move(node.mapped());
        if (task.interval > 0) {
            // Re-arm before running so the task may cancel itself.
            const auto fn = task.fn;
            tasks_.emplace(std::pair{clock_.uptime() + task.interval, next_++},
                           Task{task.id, task.interval, task.fn});
            fn();
        } else {
            task.fn();
        }
    }
    clock_.setUptime(target);
}

}  // namespace seam
