#include "app/platforms.h"

#include <cstdlib>

#include "platform/qt/logind_wake.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_platform.h"
#include "shell/login_item.h"

namespace seam {

namespace {

struct BackendEntry {
    const char* name;
    // Records in offers what this backend finds in the session; may be null.
    void (*probe)(SessionOffers& offers);
    std::unique_ptr<Platform> (*open)(bool tray, std::string& why);
};

void probeX11(SessionOffers& offers) {
    // Asking would start an XWayland that waits for clients.
    if (!offers.requested.empty() && offers.requested != "x11") return;
    offers.xDisplay = X11Connection::open() != nullptr;
}

std::unique_ptr<Platform> openX11(bool tray, std::string& why) {
    return tray ? X11Platform::open(why) : X11Platform::openDisplays(why);
}

// A new backend is one line here.
constexpr BackendEntry kBackends[] = {
    {"x11", probeX11, openX11},
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
