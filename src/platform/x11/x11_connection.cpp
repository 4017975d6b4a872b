#include "platform/x11/x11_connection.h"

#include <X11/Xlib.h>

namespace seam {

std::shared_ptr<X11Connection> X11Connection::open(const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (!display) return nullptr;
    return std::shared_ptr<X11Connection>(new X11Connection(display, DefaultRootWindow(display)));
}

X11Connection::~X11Connection() {
    XCloseDisplay(display_);
}

}  // namespace seam
