// Placing a window to the pixel where Qt can only place it in whole logical
// units, which at a fractional scale land a pixel off.
#pragma once

#include "geometry/geometry.h"

typedef struct xcb_connection_t xcb_connection_t;

namespace seam {

// Moves and sizes a window to root pixels on the connection Qt sends its own
// requests through, so this one comes after them.
void placeWindowExactly(xcb_connection_t* connection, unsigned long window, const Rect& root);

}  // namespace seam
