// Where the suggestion panel opens: below the tray icon, kept inside the visible
// part of its screen. Screen coordinates, y downwards.
#pragma once

#include <optional>
#include <vector>

#include "geometry/geometry.h"

namespace seam {

struct ScreenArea {
    Rect frame;
    Rect visible;  // without panels and docks
};

inline constexpr double kSuggestionWidth = 340;
inline constexpr double kSuggestionHeight = 132;

// The screen is the first one the anchor meets, else the main one (mainIndex),
// else the first; nothing without screens. The panel hangs 6 points below the
// anchor, or, when the tray sits at the bottom and it would not fit, 6 points
// above it; without an anchor it goes to the top right, 12 points from the edge.
std::optional<Rect> suggestionFrame(const std::optional<Rect>& anchor,
                                    const std::vector<ScreenArea>& screens,
                                    std::optional<std::size_t> mainIndex);

}  // namespace seam
