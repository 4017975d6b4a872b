// Which display system backend a run uses and which Qt platform its windows
// need, decided from what the session offers before Qt is touched: Qt ends the
// process when its platform cannot start, before the program could say why.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace seam {

// What the session offers, as probed at start.
struct SessionOffers {
    std::string requested;  // SEAMWRIGHT_BACKEND; empty when unset
    bool mutter = false;    // Mutter's display configuration on the session bus
    bool wayland = false;   // WAYLAND_DISPLAY is set
    // Backends whose output management global the Wayland compositor offers.
    std::vector<std::string> waylandManagers;
    bool xDisplay = false;  // an X display answers
    std::string display;    // DISPLAY, for the message when none answers
};

inline constexpr const char* kBackendVariable = "SEAMWRIGHT_BACKEND";

struct Refusal {
    std::string line;  // the one line printed before exit 1
    bool operator==(const Refusal&) const = default;
};
struct Backend {
    std::string name;
    std::string qtPlatform;  // "xcb" or "wayland"
    bool operator==(const Backend&) const = default;
};
using BackendChoice = std::variant<Backend, Refusal>;

// built: the backends this program has, by name. A request overrides; else
// Mutter, then the compositor's management global, then X11.
BackendChoice chooseBackend(const SessionOffers& offers, const std::vector<std::string>& built);

// The Qt platform for a job that only draws: none is needed, so without an X
// display (and nothing asked for in requested, QT_QPA_PLATFORM) it draws offscreen.
std::optional<std::string> drawingPlatform(std::string_view requested, bool xDisplayAnswers);

// The one line printed when the tray application has no display; display is
// DISPLAY's value, or empty when it is unset; waylandUnmanaged: a Wayland
// session whose compositor offers nothing this program can configure.
std::string noDisplayMessage(std::string_view display, bool waylandUnmanaged);

}  // namespace seam
