#include "main/platform_choice.h"

#include <gtest/gtest.h>

namespace seam {
namespace {

TEST(PlatformChoice, TrayNeedsTheXDisplayAndDrawingNeedsNone) {
    struct Case {
        bool tray;
        const char* requested;
        bool answers;
        PlatformChoice choice;
    };
    const Case cases[] = {
        {true, "", true, {.platform = "xcb"}},  // not Wayland next to an X11 backend
        {true, "xcb", true, {}},
        {true, "", false, {.refuse = true}},
        {true, "xcb", false, {.refuse = true}},
        {false, "", false, {.platform = "offscreen"}},
        {false, "", true, {}},
        {false, "xcb", false, {}},  // asked for: Qt reports it
    };
    for (const Case& c : cases)
        EXPECT_EQ(choosePlatform(c.tray, c.requested, c.answers), c.choice)
            << c.tray << " '" << c.requested << "' " << c.answers;
}

}  // namespace
}  // namespace seam
