#include "shell/tray_icon_tone.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace seam {

namespace {
// Relative luminance of sRGB.
double luminance(const Rgb& c) {
    const auto lin = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}

// The middle grey by contrast: as far from black as from white.
bool isLight(const Rgb& c) {
    return luminance(c) > 0.18;
}

std::string hex(const Rgb& c) {
    const auto byte = [](double v) { return int(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    char s[8];
    std::snprintf(s, sizeof s, "#%02x%02x%02x", byte(c.r), byte(c.g), byte(c.b));
    return s;
}
}  // namespace

TrayIconChoice trayIconTone(std::optional<Rgb> hostForeground, Rgb themeWindow) {
    if (hostForeground)
        return {isLight(*hostForeground) ? IconTone::light : IconTone::dark,
                "the tray host's colour " + hex(*hostForeground)};
    return {isLight(themeWindow) ? IconTone::dark : IconTone::light,
            "the theme's window colour " + hex(themeWindow)};
}

std::string describe(const TrayIconChoice& choice) {
    return std::string("tray icon ") + (choice.tone == IconTone::light ? "light" : "dark") + " (" +
           choice.why + ")";
}

}  // namespace seam
