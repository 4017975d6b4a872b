// Pictures of the screen as the window system hands them over, and a window's
// dimmed picture of what lies beneath it, kept by the window system.
#pragma once

#include <memory>
#include <optional>

namespace seam {

// 32 bits a pixel, blue first in memory, the top byte unused.
struct RootPixels {
    unsigned char* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;              // bytes a row
    std::shared_ptr<void> keep;  // holds data alive
};

// The window system shows it as the window's background whenever the window
// shows, so the picture itself never crosses to us; only what is drawn over it
// does. Coordinates are the window's device pixels.
class ScreenBackdrop {
  public:
    virtual ~ScreenBackdrop() = default;
    // The dimmed picture in a rectangle, to draw over.
    virtual std::optional<RootPixels> read(int x, int y, int width, int height) = 0;
    // Puts pixels on the window at (x, y) until the next exposure.
    virtual void draw(const RootPixels& pixels, int x, int y) = 0;
};

}  // namespace seam
