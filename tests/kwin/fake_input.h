// Keys and clicks injected into KWin through its fake input protocol, as a
// user's keyboard and mouse would send them (the compositor must allow the
// protocol: the test compositor runs without permission checks).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct wl_display;
struct wl_registry;
struct org_kde_kwin_fake_input;

namespace seam::testing {

class FakeInput {
  public:
    // nullptr when the compositor offers no fake input that takes keys.
    static std::unique_ptr<FakeInput> connect(const std::string& socket);
    ~FakeInput();
    FakeInput(const FakeInput&) = delete;
    FakeInput& operator=(const FakeInput&) = delete;

    // The pointer onto a point of the global logical space.
    bool moveTo(double x, double y);
    // The left button pressed and released where the pointer is.
    bool click();
    // Presses the evdev keys in order and releases them in reverse.
    bool press(const std::vector<std::uint32_t>& evdevKeys);

  private:
    FakeInput() = default;
    bool flush();

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    org_kde_kwin_fake_input* input_ = nullptr;
};

// One press of keys on a connection of its own; false when none is offered.
bool pressKeys(const std::string& socket, const std::vector<std::uint32_t>& evdevKeys);

}  // namespace seam::testing
