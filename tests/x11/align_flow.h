// The align flow as a user goes through it on the standard two-monitor desktop,
// shared by the tests that run it on different desktops.
#pragma once

#include <vector>

#include "program_on_x.h"
#include "window_tree.h"

namespace seam::testing {

// The align hot key, a click near the top edge of the built-in panel, a click on
// the external monitor, Return on the question, then the undo hot key. Checks
// along the way what every desktop must keep: each overlay exactly over its
// monitor with nothing stacked above it, the question whole on one monitor,
// uncovered and holding the keyboard, the move read back with xrandr and in the
// log, and afterwards nothing of the flow on screen or holding the keyboard.
// Fatal failures return early; callers that go on check HasFatalFailure().
// The align overlays on screen, left to right: the program's override-redirect
// windows wider than any toast (a window manager's own frames are not the program's).
std::vector<ShownWindow> overlaysOf(WindowTree& tree, const Program& program);

// Device pixels per Qt unit on each monitor, for the size of the undo toast.
struct MonitorRatios {
    double panel = 1, external = 1;
};

// Also checks the marker under the first click and the undo toast: inside the
// monitor under the pointer, sized for its scale, cut to its rounded shape.
void alignTwoClicksConfirmAndUndo(const Program& program, User& user, MonitorRatios ratios = {});

}  // namespace seam::testing
