// Light or dark lines for the tray icon, so it stays visible on the panel: the
// colour the tray host asks icons to draw in when it says; else the colour of
// the panel around the docked icon; else the desktop theme's window colour
// (panels mostly follow the theme).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace seam {

struct Rgb {
    double r = 0, g = 0, b = 0;  // 0 to 1
};

enum class IconTone { dark, light };

struct TrayIconChoice {
    IconTone tone;
    std::string why;  // for the log
    bool operator==(const TrayIconChoice&) const = default;
};

TrayIconChoice trayIconTone(std::optional<Rgb> hostForeground, std::optional<Rgb> panel,
                            Rgb themeWindow);

// The panel's colour from the pixels around the icon (0xRRGGBB): the most
// common one when the panel is flat enough to have one, nothing for a picture.
std::optional<Rgb> panelColour(const std::vector<std::uint32_t>& pixels);

// "tray icon light (the tray host's colour #ffffff)"
std::string describe(const TrayIconChoice& choice);

}  // namespace seam
