// One connection to KWin: the output devices for the state, the output
// management global for configurations, and the output order for the primary.
// Everything runs on the calling thread; the owner either feeds readable() into
// its event loop or calls refresh() before reading.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/kwin/kwin_output_state.h"

namespace seam {

class KwinOutputClient : public KwinOutputState {
  public:
    // nullptr with the reason when there is no compositor or it offers no output
    // management. socketName nullptr: the session's WAYLAND_DISPLAY.
    static std::unique_ptr<KwinOutputClient> connect(std::string& whyNot,
                                                     const char* socketName = nullptr);
    ~KwinOutputClient() override;
    KwinOutputClient(const KwinOutputClient&) = delete;
    KwinOutputClient& operator=(const KwinOutputClient&) = delete;

    void refresh() override;
    const std::vector<KwinOutput>& outputs() const override;
    const std::string& primary() const override;
    KwinApplyOutcome apply(const std::vector<KwinPlacement>& placements) override;

    // The connection's file descriptor, for a socket notifier.
    int fd() const;
    // Reads and handles what has arrived; false once the connection is lost.
    bool readable();
    // Waits until the compositor has answered everything sent so far.
    bool roundtrip();
    // Called after every completed change of the outputs or the primary.
    void onChange(std::function<void()> handler);

    struct Impl;

  private:
    explicit KwinOutputClient(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace seam
