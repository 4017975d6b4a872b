// A window's dimmed picture of the screen beneath it, made and kept by the X
// server: copied from the root into a pixmap, darkened there by RENDER and set
// as the window's background. A 3840x2160 picture never crosses the socket.
#pragma once

#include <memory>

#include "geometry/geometry.h"
#include "platform/root_pixels.h"

namespace seam {

class X11Connection;

// Nothing without RENDER, on an unusual visual, or for a rectangle past the
// screen. dim is the opacity of the black laid over the picture.
// It keeps the connection open for as long as it lives.
std::unique_ptr<ScreenBackdrop> makeX11Backdrop(std::shared_ptr<X11Connection> connection,
                                                unsigned long window, const Rect& root, double dim);

}  // namespace seam
