#include "platform/x11/x11_error_trap.h"

namespace seam {

namespace {
// Xlib has one error handler per process; traps nest through this chain.
X11ErrorTrap* innermost = nullptr;

// A round trip only when something sent is still unanswered: once the server
// has answered the last request, every error before it has arrived.
void settle(Display* display) {
    if (NextRequest(display) - 1 != LastKnownRequestProcessed(display)) XSync(display, False);
}
}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display), outer_(innermost) {
    settle(display_);  // earlier errors belong to whoever caused them
    previousHandler_ = XSetErrorHandler(&X11ErrorTrap::handle);
    innermost = this;
}

X11ErrorTrap::~X11ErrorTrap() {
    settle(display_);
    innermost = outer_;
    XSetErrorHandler(previousHandler_);
}

bool X11ErrorTrap::failed() {
    settle(display_);
    return errorCode_ != 0;
}

int X11ErrorTrap::handle(Display* display, XErrorEvent* event) {
    for (X11ErrorTrap* t = innermost; t; t = t->outer_) {
        if (t->display_ == display) {
            if (t->errorCode_ == 0) t->errorCode_ = event->error_code;
            return 0;
        }
    }
    // Another connection's error: hand it to whoever handled errors before us.
    X11ErrorTrap* outermost = innermost;
    while (outermost && outermost->outer_) outermost = outermost->outer_;
    return outermost && outermost->previousHandler_ ? outermost->previousHandler_(display, event)
                                                    : 0;
}

}  // namespace seam
