#include "platform/x11/x11_tray_colours.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
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

namespace {
Window parentOf(Display* d, Window w) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &n)) return 0;
    if (children) XFree(children);
    return parent == root ? 0 : parent;
}
}  // namespace

std::vector<std::uint32_t> pixelsAroundIcon(X11Connection& connection, unsigned long icon) {
    Display* d = connection.display();
    X11ErrorTrap trap(d);  // the tray may go, or unmap, at any moment
    constexpr int ring = 2;
    XWindowAttributes own;
    if (!XGetWindowAttributes(d, icon, &own) || own.map_state != IsViewable) return {};
    for (Window w = parentOf(d, icon); w; w = parentOf(d, w)) {
        XWindowAttributes a;
        int x = 0, y = 0;
        Window child = 0;
        if (!XGetWindowAttributes(d, w, &a) ||
            !XTranslateCoordinates(d, icon, w, 0, 0, &x, &y, &child) || trap.failed())
            return {};
        // A socket the icon's own size shows nothing of the panel: look further out.
        const int left = std::max(0, x - ring), top = std::max(0, y - ring);
        const int right = std::min(a.width, x + own.width + ring);
        const int bottom = std::min(a.height, y + own.height + ring);
        if (right - left <= own.width && bottom - top <= own.height) continue;
        const Visual* v = a.visual;
        if (a.depth < 24 || v->red_mask != 0xFF0000 || v->green_mask != 0xFF00 ||
            v->blue_mask != 0xFF)
            return {};
        XImage* image = XGetImage(d, w, left, top, right - left, bottom - top, AllPlanes, ZPixmap);
        if (trap.failed() || !image) {
            if (image) XDestroyImage(image);
            return {};
        }
        std::vector<std::uint32_t> pixels;
        for (int py = top; py < bottom; ++py)
            for (int px = left; px < right; ++px) {
                const bool inside = px >= x && px < x + own.width && py >= y && py < y + own.height;
                if (!inside) pixels.push_back(std::uint32_t(XGetPixel(image, px - left, py - top)));
            }
        XDestroyImage(image);
        return pixels;
    }
    return {};
}

}  // namespace seam
