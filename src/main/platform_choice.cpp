#include "main/platform_choice.h"

namespace seam {

PlatformChoice choosePlatform(bool tray, std::string_view requested, bool xDisplayAnswers) {
    if (tray) {
        if (!xDisplayAnswers) return {.refuse = true};
        // The backend speaks X11: under XWayland too, Qt's windows must be on the same server.
        if (requested.empty()) return {.platform = "xcb"};
        return {};
    }
    if (requested.empty() && !xDisplayAnswers) return {.platform = "offscreen"};
    return {};
}

std::string noDisplayMessage(const char* display) {
    const std::string which = display && *display
                                  ? "cannot open the X display \"" + std::string(display) + "\""
                                  : "DISPLAY is not set";
    return "seamwright: " + which + "; Seamwright runs in an X11 desktop session";
}

}  // namespace seam
