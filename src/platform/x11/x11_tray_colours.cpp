#include "platform/x11/x11_tray_colours.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_error_trap.h"

namespace seam {

std::optional<Rgb> trayForeground(X11Connection& connection) {
    Display* d = connection.display();
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(d));
    const Window host = XGetSelectionOwner(d, XInternAtom(d, name.c_str(), False));
    if (!host) return std::nullopt;
    X11ErrorTrap trap(d);  // the host may go at any moment
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int status =
        XGetWindowProperty(d, host, XInternAtom(d, "_NET_SYSTEM_TRAY_COLORS", False), 0, 12, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data);
    std::optional<Rgb> colour;
    // Foreground, error, warning, success: three 16-bit channels each.
    if (!trap.failed() && status == Success && format == 32 && count >= 3 && data) {
        const long* v = reinterpret_cast<const long*>(data);
        colour = Rgb{v[0] / 65535.0, v[1] / 65535.0, v[2] / 65535.0};
    }
    if (data) XFree(data);
    return colour;
}

}  // namespace seam
