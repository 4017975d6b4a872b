// One Xlib connection that the X11 backends can share (display services now,
// pointer and hot keys later), so they see one consistent view of the server.
#pragma once

#include <memory>

typedef struct _XDisplay Display;

namespace seam {

class X11Connection {
  public:
    // nullptr when the display cannot be opened.
    static std::shared_ptr<X11Connection> open(const char* displayName = nullptr);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    Display* display() const { return display_; }
    unsigned long root() const { return root_; }

  private:
    X11Connection(Display* display, unsigned long root) : display_(display), root_(root) {}
    Display* display_;
    unsigned long root_;
};

}  // namespace seam
