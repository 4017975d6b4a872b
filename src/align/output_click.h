// Align mode where the compositor places windows: one full-screen window per
// output, found by the output's name, and clicks in it carried back into global
// display space through the display's frame.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "geometry/geometry.h"

namespace seam {

// The one screen the toolkit names like the display's output; nothing when the
// output has no name, no screen has it, or several do: a window on a guessed
// screen would take clicks for the wrong display.
std::optional<std::size_t> screenOfOutput(const std::optional<std::string>& output,
                                          const std::vector<std::string>& screens);

// A point in a full-screen window of width x height (the toolkit's units, top
// left origin) covering frame, in global display space. The window's units may
// differ from the frame's when the toolkit scales on its own.
Point clickInFrame(const Rect& frame, double width, double height, Point local);

}  // namespace seam
