// The tray icon is the way into the program, but some desktops have no tray
// host (GNOME without an indicator extension), and at login the panel may start
// after us. Give a late panel a moment; with none by then, say so and let the
// program open another way in; keep looking, and say when one turns up.
#pragma once

#include <functional>

#include "platform/clock.h"

namespace seam {

class TrayWatch {
  public:
    static constexpr double grace = 5;  // seconds for a panel starting after us
    static constexpr double poll = 5;   // seconds between later looks

    TrayWatch(Scheduler& scheduler, std::function<bool()> available)
        : scheduler_(scheduler), available_(std::move(available)) {}
    ~TrayWatch() { scheduler_.cancel(task_); }
    TrayWatch(const TrayWatch&) = delete;
    TrayWatch& operator=(const TrayWatch&) = delete;

    // Once, when the grace time passed without a tray host (and not busy).
    std::function<void()> onMissing;
    // Once, when a host turns up after the grace time passed without one.
    std::function<void()> onAppeared;
    // True while align or photo mode covers the screens or a question waits for
    // its answer: a window opening then would take the keys meant for them, so
    // onMissing waits for a later look.
    std::function<bool()> busy;

    void start();

  private:
    void look();

    Scheduler& scheduler_;
    std::function<bool()> available_;
    Scheduler::TaskId task_ = 0;
    bool missing_ = false;
    bool told_ = false;
};

}  // namespace seam
