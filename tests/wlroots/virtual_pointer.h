// A mouse of our own on a wlroots compositor: a virtual pointer device whose
// clicks the compositor delivers as a user's would.
#pragma once

#include <memory>
#include <string>

struct wl_display;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;

namespace seam::testing {

class VirtualPointer {
  public:
    // nullptr when the compositor at socket offers no virtual pointers.
    static std::unique_ptr<VirtualPointer> connect(const std::string& socket);
    ~VirtualPointer();
    VirtualPointer(const VirtualPointer&) = delete;
    VirtualPointer& operator=(const VirtualPointer&) = delete;

    // To (x, y) of the compositor's layout, whose bounding box starts at
    // (left, top) and is width x height.
    bool moveTo(int x, int y, int left, int top, int width, int height);
    // A left click where the pointer is.
    bool click();

  private:
    VirtualPointer() = default;
    wl_display* display_ = nullptr;
    zwlr_virtual_pointer_manager_v1* manager_ = nullptr;
    zwlr_virtual_pointer_v1* pointer_ = nullptr;
    unsigned time_ = 1;
};

}  // namespace seam::testing
