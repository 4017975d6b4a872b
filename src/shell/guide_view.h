// The guide window's texts, and its frames turned from the bottom-up
// coordinates they are drawn in into the top-down ones of the widgets.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "base/settings_store.h"
#include "geometry/geometry.h"
#include "platform/clock.h"

namespace seam::guide_view {

inline constexpr double W = 460;
inline constexpr double H = 430;

struct Texts {
    std::string title;
    std::string heading;
    std::array<std::string, 4> steps;
    std::string keys;  // the box: align and undo keys
    // The same on two lines, for keys too long to share one beside the button.
    std::string keysStacked;
    std::string changeShortcuts;
    std::string tryNow;
    std::string close;
};
// Without a tray on screen, step 1 tells the key instead of the icon, and
// how the icon comes back.
Texts texts(const std::string& alignKey, const std::string& undoKey, bool trayShown = true);

// A frame given from the bottom left of a parent of this height, from its top left.
Rect topDown(const Rect& bottomUp, double parentHeight = H);

// Where step n (1 to 4) has its text, bottom-up.
double stepY(int n);

// The very first launch shows the guide 0.6 s later, once: "didShowGuide" in
// the user's settings remembers it. Whether it was scheduled.
bool showOnFirstRun(SettingsStore& standard, Scheduler& scheduler, std::function<void()> show);

}  // namespace seam::guide_view
