// Taking pictures of the screen and placing windows to the pixel, where Qt's
// own ways are too slow (a grab of a large screen) or too coarse (placement in
// whole logical units at a fractional scale).
#pragma once

#include <optional>

#include "geometry/geometry.h"
#include "platform/root_pixels.h"

typedef struct _XDisplay Display;
typedef struct xcb_connection_t xcb_connection_t;

namespace seam {

// What the screen shows in root, through shared memory: the server copies it
// once, straight into our memory. Nothing without the shared memory extension,
// on another pixel layout, or for a rectangle past the screen.
std::optional<RootPixels> grabRootPixels(Display* display, const Rect& root);

// Moves and sizes a window to root pixels on the connection Qt sends its own
// requests through, so this one comes after them.
void placeWindowExactly(xcb_connection_t* connection, unsigned long window, const Rect& root);

}  // namespace seam
