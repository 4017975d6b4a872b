// The program's windows as the X server holds them, wherever a window manager
// has put them: found by the process id each window carries, measured in root
// coordinates, and compared with what is stacked above them.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct _XDisplay;  // Xlib's Display, whose macros stay out of this header

namespace seam::testing {

struct WindowRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowRect&) const = default;
    bool overlaps(const WindowRect& o) const {
        return x < o.x + o.width && o.x < x + width && y < o.y + o.height && o.y < y + height;
    }
    bool inside(const WindowRect& o) const {
        return x >= o.x && y >= o.y && x + width <= o.x + o.width && y + height <= o.y + o.height;
    }
};

struct ShownWindow {
    unsigned long id = 0;
    // The child of the root that holds it: itself, or a window manager's frame.
    unsigned long topLevel = 0;
    WindowRect rect;  // root coordinates
    bool overrideRedirect = false;
};

class WindowTree {
  public:
    WindowTree();
    ~WindowTree();
    WindowTree(const WindowTree&) = delete;
    WindowTree& operator=(const WindowTree&) = delete;

    // Viewable windows of a process, at any depth of the tree.
    std::vector<ShownWindow> shownBy(pid_t pid);
    // True when no viewable window stacked above w's top level overlaps w.
    bool onTop(const ShownWindow& w);
    // True when the keyboard focus is on w or inside it.
    bool hasFocus(const ShownWindow& w);
    // True when some client holds the whole keyboard.
    bool keyboardTaken();
    // True when an ancestor of w has this window class (its WM_CLASS second part).
    bool heldByClass(const ShownWindow& w, const std::string& windowClass);
    // The owner of a selection such as "_NET_SYSTEM_TRAY_S0"; 0 when none.
    unsigned long selectionOwner(const std::string& name);

  private:
    ::_XDisplay* d_;
};

}  // namespace seam::testing
