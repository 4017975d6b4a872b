#include "tray_host.h"

#include <string>

#include <X11/Xatom.h>

#include "x11_environment.h"

namespace seam::testing {

TrayHost::TrayHost(std::optional<std::array<std::uint16_t, 3>> foreground, std::uint32_t panel)
    : d_(XOpenDisplay(xserver()->name().c_str())) {
    if (!d_) return;
    const Window root = DefaultRootWindow(d_);
    const Atom selection = XInternAtom(d_, "_NET_SYSTEM_TRAY_S0", False);
    if (XGetSelectionOwner(d_, selection) != 0) return;
    opcode_ = XInternAtom(d_, "_NET_SYSTEM_TRAY_OPCODE", False);
    // Narrower than any window the tests count as a dialog.
    const Window w = XCreateSimpleWindow(d_, root, 1710 - 90, 0, 90, 30, 0, 0, panel);
    long horizontal = 0;
    XChangeProperty(d_, w, XInternAtom(d_, "_NET_SYSTEM_TRAY_ORIENTATION", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&horizontal), 1);
    if (foreground) {
        // Foreground, error, warning and success colours; only the first matters here.
        long colours[12] = {};
        for (int i = 0; i < 12; ++i) colours[i] = (*foreground)[i % 3];
        XChangeProperty(d_, w, XInternAtom(d_, "_NET_SYSTEM_TRAY_COLORS", False), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(colours), 12);
    }
    XMapWindow(d_, w);
    XSetSelectionOwner(d_, selection, w, CurrentTime);
    if (XGetSelectionOwner(d_, selection) != w) return;
    window_ = w;
    XClientMessageEvent m{};
    m.type = ClientMessage;
    m.window = root;
    m.message_type = XInternAtom(d_, "MANAGER", False);
    m.format = 32;
    m.data.l[0] = CurrentTime;
    m.data.l[1] = static_cast<long>(selection);
    m.data.l[2] = static_cast<long>(w);
    XSendEvent(d_, root, False, StructureNotifyMask, reinterpret_cast<XEvent*>(&m));
    XSync(d_, False);
}

TrayHost::~TrayHost() {
    if (d_) XCloseDisplay(d_);  // the selection goes with the window
}

int TrayHost::dockRequests() {
    if (!window_) return 0;
    while (XPending(d_)) {
        XEvent e;
        XNextEvent(d_, &e);
        // SYSTEM_TRAY_REQUEST_DOCK is opcode 0.
        if (e.type != ClientMessage || e.xclient.message_type != opcode_ ||
            e.xclient.data.l[1] != 0)
            continue;
        // As a panel does: keep the icon alive past the host, take it in, show it.
        const Window icon = static_cast<Window>(e.xclient.data.l[2]);
        XAddToSaveSet(d_, icon);
        XReparentWindow(d_, icon, window_, 4 + 26 * docks_, 4);
        XMapWindow(d_, icon);
        XSync(d_, False);
        ++docks_;
    }
    return docks_;
}

}  // namespace seam::testing
