#include "platform/x11/x11_root_grab.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/x11/x11_error_trap.h"

namespace seam {

namespace {
struct Segment {
    Display* display = nullptr;
    XShmSegmentInfo info{};
    XImage* image = nullptr;
    bool attached = false;
    ~Segment() {
        if (attached) {
            XShmDetach(display, &info);
            XSync(display, False);  // the server lets go before the memory does
        }
        if (image) {
            image->data = nullptr;
            XDestroyImage(image);
        }
        if (info.shmaddr && info.shmaddr != reinterpret_cast<char*>(-1)) shmdt(info.shmaddr);
    }
};
}  // namespace

std::optional<RootPixels> grabRootPixels(Display* display, const Rect& root) {
    const int x = int(std::lround(root.x)), y = int(std::lround(root.y));
    const int w = int(std::lround(root.width)), h = int(std::lround(root.height));
    const int screen = DefaultScreen(display);
    if (w <= 0 || h <= 0 || x < 0 || y < 0 || !XShmQueryExtension(display)) return std::nullopt;
    Window rootWindow = 0;
    int gx = 0, gy = 0;
    unsigned gw = 0, gh = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, RootWindow(display, screen), &rootWindow, &gx, &gy, &gw, &gh,
                      &border, &depth) ||
        unsigned(x + w) > gw || unsigned(y + h) > gh)
        return std::nullopt;

    auto seg = std::make_shared<Segment>();
    seg->display = display;
    Visual* visual = DefaultVisual(display, screen);
    seg->image = XShmCreateImage(display, visual, unsigned(DefaultDepth(display, screen)), ZPixmap,
                                 nullptr, &seg->info, unsigned(w), unsigned(h));
    if (!seg->image || seg->image->bits_per_pixel != 32 || seg->image->red_mask != 0xff0000 ||
        seg->image->green_mask != 0xff00 || seg->image->blue_mask != 0xff ||
        seg->image->byte_order != LSBFirst)
        return std::nullopt;
    const std::size_t bytes = std::size_t(seg->image->bytes_per_line) * std::size_t(h);
    // Removed at once: it goes when the last of us and the server lets go.
    seg->info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (seg->info.shmid < 0) return std::nullopt;
    seg->info.shmaddr = static_cast<char*>(shmat(seg->info.shmid, nullptr, 0));
    seg->image->data = seg->info.shmaddr;
    seg->info.readOnly = False;
    const bool mapped = seg->info.shmaddr != reinterpret_cast<char*>(-1);
    {
        X11ErrorTrap trap(display);  // a server out of reach of our memory refuses
        seg->attached = mapped && XShmAttach(display, &seg->info) && !trap.failed();
        shmctl(seg->info.shmid, IPC_RMID, nullptr);
        if (!seg->attached ||
            !XShmGetImage(display, RootWindow(display, screen), seg->image, x, y, AllPlanes) ||
            trap.failed())
            return std::nullopt;
    }
    RootPixels pixels;
    pixels.data = reinterpret_cast<unsigned char*>(seg->image->data);
    pixels.width = w;
    pixels.height = h;
    pixels.stride = seg->image->bytes_per_line;
    pixels.keep = std::move(seg);
    return pixels;
}

void placeWindowExactly(xcb_connection_t* connection, unsigned long window, const Rect& root) {
    const std::uint32_t values[] = {std::uint32_t(std::int32_t(std::lround(root.x))),
                                    std::uint32_t(std::int32_t(std::lround(root.y))),
                                    std::uint32_t(std::max(1L, std::lround(root.width))),
                                    std::uint32_t(std::max(1L, std::lround(root.height)))};
    xcb_configure_window(connection, xcb_window_t(window),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(connection);
}

}  // namespace seam
