// A snapshot of the RandR state of one screen and the rules that turn it into
// displays: which outputs are active, which is main, where global space starts.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <optional>
#include <string>
#include <vector>

#include "geometry/geometry.h"
#include "platform/drm_connectors.h"

namespace seam {

struct CrtcState {
    RRCrtc id = 0;
    int x = 0;
    int y = 0;
    unsigned width = 0;  // as shown, rotation applied
    unsigned height = 0;
    RRMode mode = 0;
    Rotation rotation = RR_Rotate_0;
    std::vector<RROutput> outputs;
};

struct OutputState {
    RROutput id = 0;
    std::string name;
    bool connected = false;
    RRCrtc crtc = 0;
};

struct ScreenState {
    Time timestamp = 0;                // last configuration change
    Time configTimestamp = 0;          // last hardware change
    std::vector<OutputState> outputs;  // screen-resources order
    std::vector<CrtcState> crtcs;
    RROutput primary = 0;

    const CrtcState* crtc(RRCrtc id) const;
    const OutputState* output(RROutput id) const;
    // Connected outputs that drive a CRTC with a mode, in screen-resources order.
    std::vector<const OutputState*> active() const;
    // The primary output when it drives a CRTC, else the first active one; 0 when none.
    RROutput mainOutput() const;
    // Root position of the main CRTC: the origin of global display space.
    Point mainOrigin() const;
    // Root rectangle of an active output's CRTC.
    std::optional<Rect> rootRect(RROutput id) const;
    // The earlier active output an active output mirrors: one sharing its CRTC or
    // showing exactly the same rectangle.
    std::optional<RROutput> mirrorOf(RROutput id) const;
    // Xwayland only emulates RandR; its outputs are called XWAYLAND<n>.
    bool isXwayland() const;
};

// Reads the state without re-probing hardware unless asked to.
std::optional<ScreenState> readScreenState(Display* display, Window root, bool reprobe = false);

// Keeps the last snapshot while nothing changed, so a read costs two round trips
// instead of one per output and CRTC. A change shows as a new server timestamp or
// as a RandR event queued on this connection (timestamps alone have millisecond
// resolution). Whoever dispatches this connection's events must leave RandR
// events in the queue or call invalidate().
class ScreenStateCache {
  public:
    ScreenStateCache(Display* display, Window root, int randrEventBase);
    const ScreenState* current();
    // Drops the RandR events queued so far; true when there was any.
    bool drainEvents();
    // After our own change, still under the server grab: drops its events and
    // takes the state we know we made, with the server's new timestamps.
    void adoptOwnChange(ScreenState state);
    void invalidate() { state_.reset(); }

  private:
    Display* display_;
    Window root_;
    int eventBase_;
    std::optional<ScreenState> state_;
};

}  // namespace seam
