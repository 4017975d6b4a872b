#include "window_tree.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <functional>

#include "x11_environment.h"

namespace seam::testing {

namespace {

// Windows of other clients may go at any moment while they are looked at.
class QuietErrors {
  public:
    QuietErrors() : previous_(XSetErrorHandler([](Display*, XErrorEvent*) { return 0; })) {}
    ~QuietErrors() { XSetErrorHandler(previous_); }

  private:
    XErrorHandler previous_;
};

std::vector<Window> children(Display* d, Window w, Window* parent = nullptr) {
    Window root = 0, up = 0, *list = nullptr;
    unsigned n = 0;
    std::vector<Window> out;
    if (XQueryTree(d, w, &root, &up, &list, &n)) out.assign(list, list + n);
    if (list) XFree(list);
    if (parent) *parent = up;
    return out;
}

long windowPid(Display* d, Window w) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                           &type, &format, &count, &after, &data) == Success &&
        data && format == 32 && count == 1)
        pid = *reinterpret_cast<long*>(data);
    if (data) XFree(data);
    return pid;
}

bool viewable(Display* d, Window w, XWindowAttributes& a) {
    return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

WindowRect rootRect(Display* d, Window w, const XWindowAttributes& a) {
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child);
    return {x, y, a.width, a.height};
}

}  // namespace

WindowTree::WindowTree() : d_(XOpenDisplay(xserver()->name().c_str())) {}

WindowTree::~WindowTree() {
    if (d_) XCloseDisplay(d_);
}

std::vector<ShownWindow> WindowTree::shownBy(pid_t pid) {
    const QuietErrors quiet;
    std::vector<ShownWindow> found;
    const std::function<void(Window, Window)> walk = [&](Window w, Window top) {
        XWindowAttributes a;
        if (!viewable(d_, w, a)) return;
        if (windowPid(d_, w) == pid)
            found.push_back({w, top, rootRect(d_, w, a), bool(a.override_redirect)});
        for (Window c : children(d_, w)) walk(c, top);
    };
    for (Window top : children(d_, DefaultRootWindow(d_))) walk(top, top);
    return found;
}

bool WindowTree::onTop(const ShownWindow& w) {
    const QuietErrors quiet;
    const std::vector<Window> stack = children(d_, DefaultRootWindow(d_));  // bottom first
    bool above = false;
    for (Window s : stack) {
        if (above) {
            XWindowAttributes a;
            if (viewable(d_, s, a) && rootRect(d_, s, a).overlaps(w.rect)) return false;
        }
        above = above || s == w.topLevel;
    }
    return above;
}

bool WindowTree::hasFocus(const ShownWindow& w) {
    const QuietErrors quiet;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d_, &focus, &revert);
    const Window root = DefaultRootWindow(d_);
    while (focus != None && focus != PointerRoot && focus != root) {
        if (focus == w.id) return true;
        Window parent = 0;
        children(d_, focus, &parent);
        focus = parent;
    }
    return false;
}

bool WindowTree::keyboardTaken() {
    const int r =
        XGrabKeyboard(d_, DefaultRootWindow(d_), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (r == GrabSuccess) XUngrabKeyboard(d_, CurrentTime);
    XSync(d_, False);
    return r == AlreadyGrabbed;
}

bool WindowTree::heldByClass(const ShownWindow& w, const std::string& windowClass) {
    const QuietErrors quiet;
    const Window root = DefaultRootWindow(d_);
    Window up = 0;
    children(d_, w.id, &up);
    while (up != 0 && up != root) {
        XClassHint hint{};
        if (XGetClassHint(d_, up, &hint)) {
            const bool match = hint.res_class && windowClass == hint.res_class;
            XFree(hint.res_name);
            XFree(hint.res_class);
            if (match) return true;
        }
        children(d_, up, &up);
    }
    return false;
}

unsigned long WindowTree::selectionOwner(const std::string& name) {
    return XGetSelectionOwner(d_, XInternAtom(d_, name.c_str(), False));
}

}  // namespace seam::testing
