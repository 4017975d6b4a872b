// Pictures of the screen through shared memory: exactly the root pixels asked
// for, and nothing for a rectangle the screen does not hold.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/x11/x11_root_grab.h"
#include "x11_environment.h"
// After gtest: Xlib's macros clash with its names.
#include <X11/Xlib.h>

namespace seam {
namespace {

using testing::xserver;

std::uint32_t pixelAt(const RootPixels& p, int x, int y) {
    std::uint32_t v = 0;
    std::memcpy(&v, p.data + y * p.stride + x * 4, 4);
    return v & 0xffffff;
}

TEST(RootGrab, TakesExactlyTheRootPixelsAskedFor) {
    ASSERT_TRUE(xserver()->arrange());
    Display* d = XOpenDisplay(xserver()->name().c_str());
    ASSERT_NE(d, nullptr);
    const Window root = DefaultRootWindow(d);
    // Four colours meeting at (1000, 500), straddling nothing else.
    GC gc = XCreateGC(d, root, 0, nullptr);
    const std::uint32_t colours[] = {0x102030, 0x405060, 0x708090, 0xa0b0c0};
    const int quads[][2] = {{0, 0}, {1000, 0}, {0, 500}, {1000, 500}};
    for (int i = 0; i < 4; ++i) {
        XSetForeground(d, gc, colours[i]);
        XFillRectangle(d, root, gc, quads[i][0], quads[i][1], 1000, 500);
    }
    XSync(d, False);

    struct Case {
        Rect root;
        std::uint32_t topLeft, bottomRight;
    };
    const Case cases[] = {
        {{10, 20, 30, 40}, colours[0], colours[0]},
        {{990, 490, 20, 20}, colours[0], colours[3]},
        {{1000, 0, 1, 500}, colours[1], colours[1]},
        {{999, 499, 2, 2}, colours[0], colours[3]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(int(c.root.x)) + "," + std::to_string(int(c.root.y)));
        const auto grabbed = grabRootPixels(d, c.root);
        ASSERT_TRUE(grabbed.has_value());
        EXPECT_EQ(grabbed->width, int(c.root.width));
        EXPECT_EQ(grabbed->height, int(c.root.height));
        EXPECT_EQ(pixelAt(*grabbed, 0, 0), c.topLeft);
        EXPECT_EQ(pixelAt(*grabbed, grabbed->width - 1, grabbed->height - 1), c.bottomRight);
    }
    // The screen is 2990x1112: past its edges there is no picture.
    for (const Rect& outside :
         {Rect{2980, 0, 20, 20}, Rect{0, 1100, 10, 20}, Rect{-1, 0, 10, 10}, Rect{0, 0, 0, 10}})
        EXPECT_FALSE(grabRootPixels(d, outside).has_value());
    XFreeGC(d, gc);
    XClearWindow(d, root);
    XCloseDisplay(d);
}

}  // namespace
}  // namespace seam
