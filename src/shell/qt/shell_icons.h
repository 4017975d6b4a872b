// The pictures of the settings and guide windows, drawn here so they look the
// same on every desktop, themed or not.
#pragma once

#include <QColor>
#include <QPixmap>

namespace seam {

// A filled circle with a cross, and a waste bin, in colour.
QPixmap clearIconPixmap(int size, const QColor& colour);
QPixmap trashIconPixmap(int size, const QColor& colour);

// Text colours a step and two steps quieter than the window's text.
QColor secondaryLabelColour();
QColor tertiaryLabelColour();
QColor accentColour();

}  // namespace seam
