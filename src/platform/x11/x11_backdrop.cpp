#include "platform/x11/x11_backdrop.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrender.h>

#include <cmath>

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_error_trap.h"

namespace seam {

namespace {

class X11Backdrop : public ScreenBackdrop {
  public:
    X11Backdrop(std::shared_ptr<X11Connection> connection, Window window, Pixmap picture, GC gc)
        : connection_(std::move(connection)),
          d_(connection_->display()),
          window_(window),
          picture_(picture),
          gc_(gc) {}
    ~X11Backdrop() override {
        // The window holds its background for as long as it lives.
        XFreePixmap(d_, picture_);
        XFreeGC(d_, gc_);
        XFlush(d_);
    }

    std::optional<RootPixels> read(int x, int y, int width, int height) override {
        if (width <= 0 || height <= 0) return std::nullopt;
        X11ErrorTrap trap(d_);
        XImage* image =
            XGetImage(d_, picture_, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
        if (!image || trap.failed() || image->bits_per_pixel != 32) {
            if (image) XDestroyImage(image);
            return std::nullopt;
        }
        RootPixels pixels{
            reinterpret_cast<unsigned char*>(image->data), width, height, image->bytes_per_line,
            std::shared_ptr<void>(image, [](void* i) { XDestroyImage(static_cast<XImage*>(i)); })};
        return pixels;
    }

    void draw(const RootPixels& p, int x, int y) override {
        Visual* visual = DefaultVisual(d_, DefaultScreen(d_));
        XImage* image = XCreateImage(d_, visual, unsigned(DefaultDepth(d_, DefaultScreen(d_))),
                                     ZPixmap, 0, reinterpret_cast<char*>(p.data), unsigned(p.width),
                                     unsigned(p.height), 32, p.stride);
        if (!image) return;
        XPutImage(d_, window_, gc_, image, 0, 0, x, y, unsigned(p.width), unsigned(p.height));
        image->data = nullptr;  // not ours to free
        XDestroyImage(image);
        XFlush(d_);
    }

  private:
    std::shared_ptr<X11Connection> connection_;
    Display* d_;
    Window window_;
    Pixmap picture_;
    GC gc_;
};

}  // namespace

std::unique_ptr<ScreenBackdrop> makeX11Backdrop(std::shared_ptr<X11Connection> connection,
                                                unsigned long window, const Rect& root,
                                                double dim) {
    Display* d = connection->display();
    const int x = int(std::lround(root.x)), y = int(std::lround(root.y));
    const int w = int(std::lround(root.width)), h = int(std::lround(root.height));
    const int screen = DefaultScreen(d);
    const Window rootWindow = RootWindow(d, screen);
    int eventBase = 0, errorBase = 0;
    XRenderPictFormat* format = nullptr;
    if (w <= 0 || h <= 0 || x < 0 || y < 0 || !XRenderQueryExtension(d, &eventBase, &errorBase) ||
        !(format = XRenderFindVisualFormat(d, DefaultVisual(d, screen))))
        return nullptr;
    // Asked, not taken from Xlib, whose copy lags when someone else reads the events.
    Window rootReturn = 0;
    int gx = 0, gy = 0;
    unsigned gw = 0, gh = 0, border = 0, depth = 0;
    if (!XGetGeometry(d, rootWindow, &rootReturn, &gx, &gy, &gw, &gh, &border, &depth) ||
        unsigned(x + w) > gw || unsigned(y + h) > gh)
        return nullptr;

    X11ErrorTrap trap(d);
    const Pixmap picture =
        XCreatePixmap(d, rootWindow, unsigned(w), unsigned(h), unsigned(DefaultDepth(d, screen)));
    XGCValues values{};
    values.subwindow_mode = IncludeInferiors;  // what shows, windows and all
    const GC gc = XCreateGC(d, picture, GCSubwindowMode, &values);
    XCopyArea(d, rootWindow, picture, gc, x, y, unsigned(w), unsigned(h), 0, 0);
    const ::Picture target = XRenderCreatePicture(d, picture, format, 0, nullptr);
    const auto alpha = static_cast<unsigned short>(std::lround(dim * 255) * 257);
    const XRenderColor black{0, 0, 0, alpha};  // premultiplied
    XRenderFillRectangle(d, PictOpOver, target, &black, 0, 0, unsigned(w), unsigned(h));
    XRenderFreePicture(d, target);
    XSetWindowBackgroundPixmap(d, window, picture);
    // In place before whoever maps the window does so over another connection.
    if (trap.failed()) {
        XFreePixmap(d, picture);
        XFreeGC(d, gc);
        return nullptr;
    }
    return std::make_unique<X11Backdrop>(std::move(connection), window, picture, gc);
}

}  // namespace seam
