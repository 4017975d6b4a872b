// The overlay's states drawn in the reference images tests/fixtures/<name>.png,
// each over a 1280x960 screen of one colour.
#pragma once

#include <QColor>
#include <vector>

#include "align/align_mode.h"

namespace seam::testing {

inline const QColor kReferenceScreen(90, 140, 200);

struct OverlayReference {
    const char* name;
    OverlayContent content;
};

inline const std::vector<OverlayReference> kOverlayReferences = {
    {"overlay_start",
     {"① Click where you want to cross to the other screen",
      "Click near an edge. The closest edge becomes the connection point.\nExample: to cross "
      "up and to the left, click the left part of the top edge · Esc to cancel",
      std::nullopt, std::nullopt}},
    {"overlay_first",
     {"① Starting point selected", "Laptop, top edge\nClick elsewhere to change it · Esc to cancel",
      Point{300, 12}, std::make_pair(Side::top, 300.0)}},
    {"overlay_second",
     {"② Click where you want to come in on this screen",
      "It connects along the bottom edge of the monitor at that point · Esc to cancel",
      Point{1268, 948}, std::make_pair(Side::right, 900.0)}},
};

}  // namespace seam::testing
