#include "platform/platform_choice.h"

#include <gtest/gtest.h>

namespace seam {

void PrintTo(const Backend& b, std::ostream* os) {
    *os << b.name << " on " << b.qtPlatform;
}
void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.line;
}

namespace {

const std::vector<std::string> kAll = {"x11", "wlroots", "gnome", "kwin"};
const std::vector<std::string> kX11Only = {"x11"};
const std::string kSession =
    "; Seamwright runs in an X11 desktop session, or in a Wayland session of GNOME, KDE Plasma or "
    "a wlroots compositor such as sway";

TEST(BackendChoice, RequestThenMutterThenCompositorThenX11) {
    struct Case {
        const char* name;
        SessionOffers offers;
        std::vector<std::string> built;
        BackendChoice choice;
    };
    const Backend x11{"x11", "xcb"};
    const Case cases[] = {
        {"plain X11", {.xDisplay = true}, kAll, x11},
        {"GNOME on X11", {.mutter = true, .xDisplay = true}, kAll, Backend{"gnome", "xcb"}},
        {"GNOME on Wayland",
         {.mutter = true, .wayland = true, .waylandManagers = {"wlroots"}, .xDisplay = true},
         kAll,
         Backend{"gnome", "wayland"}},
        {"sway",
         {.wayland = true, .waylandManagers = {"wlroots"}, .xDisplay = true},
         kAll,
         Backend{"wlroots", "wayland"}},
        {"Plasma",
         {.wayland = true, .waylandManagers = {"kwin"}},
         kAll,
         Backend{"kwin", "wayland"}},
        {"management globals outside Wayland",
         {.waylandManagers = {"kwin"}, .xDisplay = true},
         kAll,
         x11},
        {"a compositor with nothing to manage outputs",
         {.wayland = true, .xDisplay = true},
         kAll,
         x11},
        {"backends not built are passed over",
         {.mutter = true, .wayland = true, .waylandManagers = {"wlroots"}, .xDisplay = true},
         kX11Only,
         x11},
        {"request overrides", {.requested = "x11", .mutter = true, .xDisplay = true}, kAll, x11},
        {"request on Wayland",
         {.requested = "kwin", .wayland = true},
         kAll,
         Backend{"kwin", "wayland"}},
        {"requested x11 keeps Qt on X",
         {.requested = "x11", .wayland = true, .xDisplay = true},
         kAll,
         x11},
        {"request not built",
         {.requested = "gnome", .xDisplay = true},
         kX11Only,
         Refusal{"seamwright: SEAMWRIGHT_BACKEND=gnome: this build has no gnome backend"}},
        {"unknown request",
         {.requested = "mir", .xDisplay = true},
         kAll,
         Refusal{"seamwright: SEAMWRIGHT_BACKEND=mir is not one of x11, wlroots, gnome, kwin"}},
        {"requested x11 without a server",
         {.requested = "x11", .display = ":5"},
         kAll,
         Refusal{"seamwright: cannot open the X display \":5\"" + kSession}},
        {"nothing answers", {}, kAll, Refusal{"seamwright: DISPLAY is not set" + kSession}},
        {"a compositor that manages nothing, no X",
         {.wayland = true, .display = ":5"},
         kAll,
         Refusal{"seamwright: the Wayland compositor offers no display configuration and cannot "
                 "open the X display \":5\"" +
                 kSession}},
    };
    for (const Case& c : cases) EXPECT_EQ(chooseBackend(c.offers, c.built), c.choice) << c.name;
}

TEST(BackendChoice, DrawingNeedsNoScreen) {
    struct Case {
        const char* requested;
        bool answers;
        std::optional<std::string> platform;
    };
    const Case cases[] = {
        {"", false, "offscreen"},
        {"", true, std::nullopt},
        {"xcb", false, std::nullopt},  // asked for: Qt reports it
    };
    for (const Case& c : cases)
        EXPECT_EQ(drawingPlatform(c.requested, c.answers), c.platform)
            << "'" << c.requested << "' " << c.answers;
}

}  // namespace
}  // namespace seam
