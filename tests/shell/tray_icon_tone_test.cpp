#include "shell/tray_icon_tone.h"

#include <gtest/gtest.h>

#include <cmath>

namespace seam {
namespace {

TEST(TrayIconTone, TheHostsColourThenThePanelsThenTheTheme) {
    const Rgb white{1, 1, 1}, black{0, 0, 0}, adwaitaDark{0.21, 0.21, 0.21},
        fusion{0.937, 0.937, 0.937}, grey{0.55, 0.55, 0.55}, dimGrey{0.4, 0.4, 0.4};
    struct Case {
        std::optional<Rgb> host, panel;
        Rgb theme;
        std::string described;
    };
    const Case cases[] = {
        {white, white, fusion, "tray icon light (the tray host's colour #ffffff)"},
        {black, black, adwaitaDark, "tray icon dark (the tray host's colour #000000)"},
        {grey, std::nullopt, fusion, "tray icon light (the tray host's colour #8c8c8c)"},
        {dimGrey, std::nullopt, fusion, "tray icon dark (the tray host's colour #666666)"},
        {std::nullopt, black, fusion, "tray icon light (the panel's colour #000000)"},
        {std::nullopt, fusion, adwaitaDark, "tray icon dark (the panel's colour #efefef)"},
        {std::nullopt, std::nullopt, adwaitaDark,
         "tray icon light (the theme's window colour #363636)"},
        {std::nullopt, std::nullopt, fusion, "tray icon dark (the theme's window colour #efefef)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe(trayIconTone(c.host, c.panel, c.theme)), c.described);
}

TEST(TrayIconTone, ThePanelIsItsMostCommonColourWhenItHasOne) {
    using Pixels = std::vector<std::uint32_t>;
    struct Case {
        const char* name;
        Pixels pixels;
        std::optional<std::uint32_t> colour;
    };
    const Case cases[] = {
        {"flat", Pixels(20, 0x202020), 0x202020},
        {"a neighbour icon on one side", {1, 2, 3, 4, 5, 0x202020, 0x202020, 0x202020}, 0x202020},
        {"alpha ignored", {0xFF101010, 0x00101010, 0x7F101010}, 0x101010},
        {"a picture", {1, 2, 3, 4, 5, 6, 7, 8, 9}, std::nullopt},
        {"nothing", {}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto rgb = panelColour(c.pixels);
        ASSERT_EQ(rgb.has_value(), c.colour.has_value());
        if (!rgb) continue;
        const auto channel = [](double v) { return std::uint32_t(std::lround(v * 255)); };
        EXPECT_EQ(channel(rgb->r) << 16 | channel(rgb->g) << 8 | channel(rgb->b), *c.colour);
    }
}

}  // namespace
}  // namespace seam
