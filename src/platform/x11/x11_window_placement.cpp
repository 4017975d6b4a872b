#include "platform/x11/x11_window_placement.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace seam {

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
