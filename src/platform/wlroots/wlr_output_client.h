// One connection to a wlroots compositor: the output management global for the
// heads and configurations, and wl_output with xdg-output for what the compositor
// actually shows. Everything runs on the calling thread; the owner either feeds
// readable() into its event loop or calls refresh() before reading.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/wlroots/wlr_output_state.h"

struct wl_display;

namespace seam {

class WlrOutputClient : public WlrOutputState {
  public:
    // nullptr with the reason when there is no compositor or it offers no output
    // management. socketName nullptr: the session's WAYLAND_DISPLAY.
    static std::unique_ptr<WlrOutputClient> connect(std::string& whyNot,
                                                    const char* socketName = nullptr);
    ~WlrOutputClient() override;
    WlrOutputClient(const WlrOutputClient&) = delete;
    WlrOutputClient& operator=(const WlrOutputClient&) = delete;

    void refresh() override;
    const std::vector<WlrHead>& heads() const override;
    const std::vector<WlrShownOutput>& shown() const override;
    WlrApplyOutcome apply(const std::vector<WlrHeadSetting>& settings,
                          bool testOnly = false) override;

    // The connection's file descriptor, for a socket notifier.
    int fd() const;
    // Reads and handles what has arrived; false once the connection is lost.
    bool readable();
    // Waits until the compositor has answered everything sent so far.
    bool roundtrip();
    // Called after every completed change of heads or shown outputs.
    void onChange(std::function<void()> handler);
    // The interface version in use; 0 when not bound.
    unsigned managerVersion() const;

    struct Impl;

  private:
    explicit WlrOutputClient(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace seam
