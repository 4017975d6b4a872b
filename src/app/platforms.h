// The display system backends this program has, and the one place that names
// them: what each finds in the session, and how each is opened.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/platform_choice.h"
#include "shell/command_keys.h"

namespace seam {

// The names of the backends built in, in the order they are listed.
std::vector<std::string> builtBackends();

// What the session offers: the environment, then each backend's own probe.
// Runs before Qt starts.
SessionOffers probeSession();

// How a platform is wanted: a job reads and moves displays without an event
// loop; the tray application wants every service and has a Qt application.
struct PlatformUse {
    bool tray = false;
    std::string program;  // the executable, for the login item
};

// The named backend opened, or nullptr with the reason in why.
std::unique_ptr<Platform> openPlatform(std::string_view name, const PlatformUse& use,
                                       std::string& why);

// GNOME's custom shortcuts running program, where the session is GNOME's and
// this build can write them; nullptr otherwise.
std::unique_ptr<CommandKeys> openGnomeShortcuts(std::string_view backend,
                                                const std::string& program);

}  // namespace seam
