#include "shell/tray_icon_tone.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

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

TrayIconChoice trayIconTone(std::optional<Rgb> hostForeground, std::optional<Rgb> panel,
                            Rgb themeWindow) {
    if (hostForeground)
        return {isLight(*hostForeground) ? IconTone::light : IconTone::dark,
                "the tray host's colour " + hex(*hostForeground)};
    if (panel)
        return {isLight(*panel) ? IconTone::dark : IconTone::light,
                "the panel's colour " + hex(*panel)};
    return {isLight(themeWindow) ? IconTone::dark : IconTone::light,
            "the theme's window colour " + hex(themeWindow)};
}

std::optional<Rgb> panelColour(const std::vector<std::uint32_t>& pixels) {
    std::map<std::uint32_t, std::size_t> counts;
    for (std::uint32_t p : pixels) ++counts[p & 0xFFFFFF];
    const auto most =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    // A third of the ring: a flat panel with icons or a border around ours.
    if (most == counts.end() || most->second * 3 < pixels.size()) return std::nullopt;
    const std::uint32_t c = most->first;
    return Rgb{(c >> 16 & 0xFF) / 255.0, (c >> 8 & 0xFF) / 255.0, (c & 0xFF) / 255.0};
}

std::string describe(const TrayIconChoice& choice) {
    return std::string("tray icon ") + (choice.tone == IconTone::light ? "light" : "dark") + " (" +
           choice.why + ")";
}

}  // namespace seam
