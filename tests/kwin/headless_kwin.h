// A private headless KWin with two virtual outputs of 1920x1080 side by side,
// on its own session bus. The installed binary carries a file capability that
// a restricted capability set refuses, so a plain copy of it runs instead. It
// dies with the process that started it.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

namespace seam::testing {

struct KwinShownOutput {
    std::string name;
    int x = 0, y = 0, width = 0, height = 0;
};

class HeadlessKwin {
  public:
    // nullptr when KWin could not be started; lastError() says why. On a bus
    // of the caller's (its address), KWin also takes fake input from any client.
    static std::unique_ptr<HeadlessKwin> start(const std::string& bus = "");
    static const std::string& lastError();
    ~HeadlessKwin();  // stops KWin and its bus, removes its folder
    HeadlessKwin(const HeadlessKwin&) = delete;
    HeadlessKwin& operator=(const HeadlessKwin&) = delete;

    // The Wayland socket's full path, for wl_display_connect.
    std::string socket() const { return dir_ + "/wayland-kwin"; }
    const std::string& runtimeDir() const { return dir_; }
    // The outputs' logical places as wayland-info reads them through xdg-output.
    std::vector<KwinShownOutput> outputs() const;

  private:
    HeadlessKwin(pid_t pid, std::string dir) : pid_(pid), dir_(std::move(dir)) {}

    pid_t pid_;
    std::string dir_;
};

}  // namespace seam::testing
