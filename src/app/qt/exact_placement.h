// Windows put on their exact root pixels where Qt's logical units land a pixel
// off (fractional scales), through Qt's own X connection so our requests follow
// Qt's for the same window.
#pragma once

namespace seam {

// Nothing when Qt does not run on X11.
void placeWindowsExactlyOnX11();

}  // namespace seam
