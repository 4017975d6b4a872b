// Where display space meets a toolkit that scales: global display space is in
// root pixels, while the toolkit places windows in its own logical units, with a
// pixel ratio per screen. Each screen keeps its top-left at the same numbers in
// both spaces and shrinks by its ratio from there, so with mixed ratios the
// logical layout is not a scaled copy of the root one.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "geometry/geometry.h"

namespace seam {

struct ScaledScreen {
    Rect logical;      // the toolkit's geometry of the screen
    Point rootOrigin;  // its top-left in root pixels
    double ratio = 1;  // root pixels per logical unit
    // The screen in root pixels (its size as far as whole logical units tell).
    Rect root() const;
};

struct ScaledPlacement {
    std::size_t screen = 0;  // index into the screen list
    Rect logical;            // in whole logical units
    // Root pixels the window system must be given itself, where whole units at
    // a fractional ratio land a pixel off; absent where they land exactly.
    std::optional<Rect> native;
    bool operator==(const ScaledPlacement&) const = default;
};

// The logical geometry that puts a window over root, on the screen holding most
// of it (the first screen when none does). Positions round to the nearest unit;
// sizes take the fewest units that cover root, one pixel more where a ratio
// does not divide it; native then holds root.
std::optional<ScaledPlacement> placeScaled(const Rect& root,
                                           const std::vector<ScaledScreen>& screens);

// The root pixels the toolkit gives a window at logical on screen s.
Rect rootOf(const ScaledScreen& s, const Rect& logical);

// The ratio of the toolkit's screen for a monitor at root pixels. The toolkit
// learns of a new arrangement a moment after it is made, so a monitor that has
// just moved is known by its size where its place does not match.
double ratioOfMonitor(const Rect& monitor, const std::vector<ScaledScreen>& screens);

}  // namespace seam
