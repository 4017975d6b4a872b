// The Qt platform a run starts on, decided before Qt is touched: Qt ends the
// process when its platform cannot start, before the program could say why.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace seam {

struct PlatformChoice {
    // The tray application has no X display to run on: say so and stop.
    bool refuse = false;
    // A platform to ask Qt for; nothing keeps the one already asked for.
    std::optional<std::string> platform;
    bool operator==(const PlatformChoice&) const = default;
};

// tray: the tray application, which works on the X display itself; otherwise a
// drawing job, which needs no screen. requested: QT_QPA_PLATFORM, empty when unset.
PlatformChoice choosePlatform(bool tray, std::string_view requested, bool xDisplayAnswers);

// The one line printed when the tray application has no display; display is
// DISPLAY's value, or nothing when it is unset.
std::string noDisplayMessage(const char* display);

}  // namespace seam
