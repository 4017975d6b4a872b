#include "platform/platform_choice.h"

#include <algorithm>

#include "base/text.h"

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
        if (r == "x11" && !offers.xDisplay) return Refusal{noDisplayMessage(offers.display, false)};
        return backend(r, offers);
    }
    if (offers.mutter && has(built, "gnome")) return backend("gnome", offers);
    if (offers.wayland)
        for (std::string_view name : kKnown)
            if (has(offers.waylandManagers, name) && has(built, name)) return backend(name, offers);
    if (offers.xDisplay && has(built, "x11")) return backend("x11", offers);
    return Refusal{
        noDisplayMessage(offers.display, offers.wayland && offers.waylandManagers.empty())};
}

std::optional<std::string> drawingPlatform(std::string_view requested, bool xDisplayAnswers) {
    if (requested.empty() && !xDisplayAnswers) return "offscreen";
    return std::nullopt;
}

std::string noDisplayMessage(std::string_view display, bool waylandUnmanaged) {
    const std::string x = std::string(display);
    std::string which = !display.empty() ? T("X 디스플레이 \"" + x + "\"를 열 수 없어요",
                                             "cannot open the X display \"" + x + "\"")
                                         : T("DISPLAY가 설정되지 않았어요", "DISPLAY is not set");
    if (waylandUnmanaged)
        which = T("Wayland 컴포지터가 모니터 설정을 내주지 않고 ",
                  "the Wayland compositor offers no display configuration and ") +
                which;
    return "seamwright: " + which +
           T("; Seamwright는 X11 데스크톱 세션, 또는 GNOME, KDE Plasma, sway 같은 wlroots "
             "컴포지터의 Wayland 세션에서 실행돼요",
             "; Seamwright runs in an X11 desktop session, or in a Wayland session of GNOME, KDE "
             "Plasma or a wlroots compositor such as sway");
}

}  // namespace seam
