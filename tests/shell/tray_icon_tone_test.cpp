#include "shell/tray_icon_tone.h"

#include <gtest/gtest.h>

namespace seam {
namespace {

TEST(TrayIconTone, TheHostsColourFirstThenTheTheme) {
    const Rgb white{1, 1, 1}, black{0, 0, 0}, adwaitaDark{0.21, 0.21, 0.21},
        fusion{0.937, 0.937, 0.937}, grey{0.55, 0.55, 0.55}, dimGrey{0.4, 0.4, 0.4};
    struct Case {
        std::optional<Rgb> host;
        Rgb theme;
        std::string described;
    };
    const Case cases[] = {
        {white, fusion, "tray icon light (the tray host's colour #ffffff)"},
        {black, adwaitaDark, "tray icon dark (the tray host's colour #000000)"},
        {grey, fusion, "tray icon light (the tray host's colour #8c8c8c)"},
        {dimGrey, fusion, "tray icon dark (the tray host's colour #666666)"},
        {std::nullopt, adwaitaDark, "tray icon light (the theme's window colour #363636)"},
        {std::nullopt, fusion, "tray icon dark (the theme's window colour #efefef)"},
    };
    for (const Case& c : cases) EXPECT_EQ(describe(trayIconTone(c.host, c.theme)), c.described);
}

}  // namespace
}  // namespace seam
