// A private sway on the headless backend with two outputs of different sizes:
// HEADLESS-1 1710x1112 at (0,0) and HEADLESS-2 1280x960 to its right. Sway will
// not run as root, so under root it runs as an unprivileged user ("nobody", or
// SEAMWRIGHT_TEST_USER). It dies with the process that started it.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

namespace seam::testing {

struct SwayOutput {
    std::string name;
    bool active = false;
    int x = 0, y = 0, width = 0, height = 0;
};

class HeadlessSway {
  public:
    // nullptr when sway could not be started; lastError() says why. env: more
    // of sway's environment ("NAME=value"), which the commands it runs inherit.
    static std::unique_ptr<HeadlessSway> start(const std::vector<std::string>& env = {});
    static const std::string& lastError();
    ~HeadlessSway();  // stops and reaps sway, removes its folder
    HeadlessSway(const HeadlessSway&) = delete;
    HeadlessSway& operator=(const HeadlessSway&) = delete;

    // The Wayland socket's full path, for wl_display_connect.
    std::string socket() const { return dir_ + "/wayland-1"; }
    // Sway's IPC socket, for SWAYSOCK.
    std::string ipcSocket() const;
    // Runs swaymsg with these arguments; its standard output.
    std::string swaymsg(const std::string& args, int* exitCode = nullptr) const;
    // The outputs as sway's IPC reports them.
    std::vector<SwayOutput> outputs() const;
    // Back to the two outputs side by side; false when sway refused.
    bool arrange();

  private:
    HeadlessSway(pid_t pid, std::string dir) : pid_(pid), dir_(std::move(dir)) {}

    pid_t pid_;
    std::string dir_;
};

}  // namespace seam::testing
