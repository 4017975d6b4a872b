// A real window manager on the virtual server while the object lives, so the
// program meets the focus, stacking and placement rules of a desktop people use.
// The server is shared by the whole suite: stopping leaves it as it was found.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "support/log_capture.h"

namespace seam::testing {

class WindowManager {
  public:
    enum class Kind {
        // i3 with i3bar on every monitor, hosting the tray on the primary one; no
        // key bindings, so none of ours is taken.
        i3,
        // xfwm4 with its compositor, its settings daemon on a private session bus;
        // it has no tray.
        xfwm4,
    };
    // nullptr when it did not start; lastError() says why.
    static std::unique_ptr<WindowManager> start(Kind kind);
    static const std::string& lastError();
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Stops the manager and what it started; false when something of it stayed
    // (a process, a window, a selection it owned).
    bool stop();
    bool hostsTray() const;
    // What the manager printed, for failure messages.
    std::string output() const;

  private:
    WindowManager() = default;
    bool launch(const std::vector<std::string>& argv, const std::vector<std::string>& env);
    bool waitReady();

    TempDir home_;
    pid_t pid_ = -1;
    std::vector<std::string> selections_;        // what it owns while it runs
    std::vector<unsigned long> rootProperties_;  // before the start
};

}  // namespace seam::testing
