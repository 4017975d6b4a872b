// Catches X protocol errors of one connection for a scope. Errors arrive
// asynchronously, so callers ask failed() after each request; it syncs first
// unless the server has already answered everything sent.
#pragma once

#include <X11/Xlib.h>

namespace seam {

class X11ErrorTrap {
  public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits for the server to process everything sent so far; true when any of it
    // raised an error since the trap was set or last cleared.
    bool failed();
    void clear() { errorCode_ = 0; }
    int errorCode() const { return errorCode_; }

  private:
    static int handle(Display* display, XErrorEvent* event);

    Display* display_;
    int errorCode_ = 0;
    X11ErrorTrap* outer_;
    XErrorHandler previousHandler_;
};

}  // namespace seam
