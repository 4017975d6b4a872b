// Display reconfiguration events on X11: RandR screen, CRTC and output change
// notifications, read on a connection of our own (the shared one's readers
// take RandR events for themselves) and turned into per-display change flags
// by comparing the new RandR state with the previous one.
#pragma once

#include <memory>

#include "platform/display_changes.h"

class QSocketNotifier;
typedef struct _XDisplay Display;

namespace seam {

class X11Connection;
struct ScreenState;

// The displays as the display services see them: connected outputs, the active
// ones' frames in global display space, mirrors and the main display.
DisplaySnapshot snapshotOf(const ScreenState& state);

class X11DisplayChanges : public DisplayChangeSource {
  public:
    // The window server's general failure, answered when events cannot be read.
    static constexpr int registrationFailed = unavailable;

    // nullptr when the display cannot be opened or has no RandR.
    static std::unique_ptr<X11DisplayChanges> open(const char* displayName = nullptr);
    ~X11DisplayChanges() override;
    X11DisplayChanges(const X11DisplayChanges&) = delete;
    X11DisplayChanges& operator=(const X11DisplayChanges&) = delete;

    // Selects the RandR events and reads them on the Qt event loop; fails
    // without a Qt application.
    int registerCallback(Callback callback) override;
    // Handles what the server has sent so far.
    void dispatch();

  private:
    X11DisplayChanges(std::shared_ptr<X11Connection> connection, int eventBase);
    bool read(DisplaySnapshot& out);

    std::shared_ptr<X11Connection> connection_;
    int eventBase_;
    unsigned long edidAtom_ = 0;
    DisplaySnapshot last_;
    Callback callback_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace seam
