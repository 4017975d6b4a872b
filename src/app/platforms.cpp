#include "app/platforms.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

#include "app/qt/exact_placement.h"
#include "platform/compositor_platform.h"
#include "platform/qt/logind_wake.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_platform.h"
#include "shell/login_item.h"
#ifdef SEAM_HAVE_WLROOTS
#include "platform/wlroots/wayland_globals.h"
#include "platform/wlroots/wlroots_platform.h"
#endif
#ifdef SEAM_HAVE_KWIN
#include "platform/kwin/kwin_platform.h"
#endif
#ifdef SEAM_HAVE_GNOME
#include "app/bus_probe.h"
#include "platform/gnome/qt/mutter_dbus.h"
#include "platform/gnome/qt/open_gnome.h"
#endif

namespace seam {

namespace {

struct BackendEntry {
    const char* name;
    // Records in offers what this backend finds in the session; may be null.
    void (*probe)(SessionOffers& offers);
    std::unique_ptr<Platform> (*open)(bool tray, std::string& why);
};

void probeX11(SessionOffers& offers) {
    // Asking would start an XWayland that waits for clients; a compositor that
    // was found is chosen before X11 anyway.
    if (!offers.requested.empty() && offers.requested != "x11") return;
    if (offers.requested.empty() && (offers.mutter || !offers.waylandManagers.empty())) return;
    offers.xDisplay = X11Connection::open() != nullptr;
}

std::unique_ptr<Platform> openX11(bool tray, std::string& why) {
    if (!tray) return X11Platform::openDisplays(why);
    placeWindowsExactlyOnX11();
    return X11Platform::open(why);
}

bool wanted(const SessionOffers& offers, std::initializer_list<std::string_view> names) {
    if (offers.requested.empty()) return true;
    for (std::string_view n : names)
        if (offers.requested == n) return true;
    return false;
}

#ifdef SEAM_HAVE_WLROOTS
// Which output management the compositor offers decides between wlroots and KWin.
void probeWayland(SessionOffers& offers) {
    if (!offers.wayland || !wanted(offers, {"wlroots", "kwin"})) return;
    const auto globals = waylandGlobals();
    if (!globals) return;
    const std::pair<const char*, const char*> managers[] = {
        {"zwlr_output_manager_v1", "wlroots"},
        {"kde_output_management_v2", "kwin"},
    };
    for (const auto& [global, backend] : managers)
        if (std::find(globals->begin(), globals->end(), global) != globals->end())
            offers.waylandManagers.emplace_back(backend);
}
#endif

template <class Parts>
std::unique_ptr<Platform> adapt(const char* name, std::unique_ptr<Parts> parts, std::string& why) {
    if (!parts) {
        why = "the compositor offers no display configuration to this program";
        return nullptr;
    }
    return std::make_unique<CompositorPlatform<Parts>>(name, std::move(parts));
}

#ifdef SEAM_HAVE_WLROOTS
std::unique_ptr<Platform> openWlrootsPlatform(bool, std::string& why) {
    return adapt("wlroots", openWlroots(), why);
}
#endif
#ifdef SEAM_HAVE_KWIN
std::unique_ptr<Platform> openKwinPlatform(bool, std::string& why) {
    return adapt("kwin", openKwin(), why);
}
#endif
#ifdef SEAM_HAVE_GNOME
void probeMutter(SessionOffers& offers) {
    if (!wanted(offers, {"gnome"})) return;
    offers.mutter = sessionBusHasOwner(kMutterService);
}
std::unique_ptr<Platform> openGnomePlatform(bool, std::string& why) {
    return adapt("gnome", openGnome(), why);
}
#endif

// A new backend is one line here.
constexpr BackendEntry kBackends[] = {
#ifdef SEAM_HAVE_WLROOTS
    {"wlroots", probeWayland, openWlrootsPlatform},
#endif
#ifdef SEAM_HAVE_KWIN
    {"kwin", nullptr, openKwinPlatform},  // found by the wlroots probe's round trip
#endif
#ifdef SEAM_HAVE_GNOME
    {"gnome", probeMutter, openGnomePlatform},
#endif
    {"x11", probeX11, openX11},  // last: its probe looks at what the others found
};

const char* env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::vector<std::string> builtBackends() {
    std::vector<std::string> names;
    for (const BackendEntry& b : kBackends) names.emplace_back(b.name);
    return names;
}

SessionOffers probeSession() {
    SessionOffers offers{
        .requested = env(kBackendVariable),
        .wayland = *env("WAYLAND_DISPLAY") != '\0',
        .display = env("DISPLAY"),
    };
    for (const BackendEntry& b : kBackends)
        if (b.probe) b.probe(offers);
    return offers;
}

std::unique_ptr<Platform> openPlatform(std::string_view name, const PlatformUse& use,
                                       std::string& why) {
    for (const BackendEntry& b : kBackends) {
        if (name != b.name) continue;
        auto platform = b.open(use.tray, why);
        if (platform && use.tray)
            platform->setSessionServices(
                std::make_unique<AutostartLoginItem>(autostartEntryPath(std::getenv), use.program),
                std::make_unique<LogindWake>());
        return platform;
    }
    why = "this build has no " + std::string(name) + " backend";
    return nullptr;
}

}  // namespace seam
