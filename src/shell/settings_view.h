// The settings window's texts and the arrangement of its content, in points
// from the top left of the content.
#pragma once

#include <string>
#include <vector>

#include "geometry/geometry.h"
#include "layouts/saved_layout.h"
#include "shell/shortcut_keys.h"

namespace seam::settings_view {

inline constexpr double W = 400;
inline constexpr double layoutRowH = 60;
inline constexpr double visibleLayoutRows = 5;

struct FixedRow {
    std::string id;
    std::string title;
};
// Align and undo, in that order.
std::vector<FixedRow> fixedRows();

std::string windowTitle();
std::string shortcutsHeader();
std::string layoutsHeader();
std::string defaultsTitle();
std::string hint();
std::string autoApplyTitle();
std::string clearToolTip();
std::string deleteText();
std::string deleteQuestion(const std::string& layoutName);
std::string cancelText();

// The layout's monitors in order: the laptop's own name for the built-in one, else its
// saved name, else "monitor"; joined by " · ".
std::string monitorsLine(const SavedLayout& layout);

// Vertical arrangement for a number of layouts.
struct Arrangement {
    bool layouts = false;  // the "Saved Layouts" header and the list are shown
    Rect list;             // the scroll view
    double documentHeight = 0;
    bool scroller = false;  // more rows than fit
    double y0 = 0;          // top of the Defaults button and the hint
    double height = 0;      // content height
};
Arrangement arrange(std::size_t layoutCount);

// The Defaults button for the width its title needs, and the hint beside it.
Rect defaultsFrame(double fittedWidth, double y0);
Rect hintFrame(const Rect& defaults, double y0);

}  // namespace seam::settings_view
