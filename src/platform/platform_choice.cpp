#include "platform/platform_choice.h"

#include <algorithm>

namespace seam {

namespace {
constexpr std::string_view kKnown[] = {"x11", "wlroots", "gnome", "kwin"};

bool has(const std::vector<std::string>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

Backend backend(std::string_view name, const SessionOffers& offers) {
    // X11's backend and Qt's windows must be on the same server, under XWayland too.
    const bool wayland = name != "x11" && offers.wayland;
    return {.name = std::string(name), .qtPlatform = wayland ? "wayland" : "xcb"};
}
}  // namespace

BackendChoice chooseBackend(const SessionOffers& offers, const std::vector<std::string>& built) {
    const std::string prefix = "seamwright: " + std::string(kBackendVariable) + "=";
    if (!offers.requested.empty()) {
        const std::string& r = offers.requested;
        if (std::find(std::begin(kKnown), std::end(kKnown), r) == std::end(kKnown))
            return Refusal{prefix + r + " is not one of x11, wlroots, gnome, kwin"};
        if (!has(built, r)) return Refusal{prefix + r + ": this build has no " + r + " backend"};
        if (r == "x11" && !offers.xDisplay) return Refusal{noDisplayMessage(offers.display)};
        return backend(r, offers);
    }
    if (offers.mutter && has(built, "gnome")) return backend("gnome", offers);
    if (offers.wayland)
        for (std::string_view name : kKnown)
            if (has(offers.waylandManagers, name) && has(built, name)) return backend(name, offers);
    if (offers.xDisplay && has(built, "x11")) return backend("x11", offers);
    return Refusal{noDisplayMessage(offers.display)};
}

std::optional<std::string> drawingPlatform(std::string_view requested, bool xDisplayAnswers) {
    if (requested.empty() && !xDisplayAnswers) return "offscreen";
    return std::nullopt;
}

std::string noDisplayMessage(std::string_view display) {
    const std::string which = !display.empty()
                                  ? "cannot open the X display \"" + std::string(display) + "\""
                                  : "DISPLAY is not set";
    return "seamwright: " + which + "; Seamwright runs in an X11 desktop session";
}

}  // namespace seam
