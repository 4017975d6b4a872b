// The one place where windows placed by a rectangle of root pixels cross into
// Qt's logical coordinates, whatever Qt's scaling (Xft.dpi, QT_SCALE_FACTOR,
// per-screen factors).
#pragma once

#include <QPixmap>
#include <QRect>
#include <vector>

#include "platform/screen_scaling.h"

class QScreen;
class QWidget;

namespace seam {

// Qt's screens, in QGuiApplication::screens() order.
std::vector<ScaledScreen> scaledScreens();

struct QtPlacement {
    QScreen* screen = nullptr;  // none only while Qt knows no screen at all
    QRect geometry;             // logical
};

// Against Qt's screens as Qt has them now, even a moment behind the server:
// Qt turns the geometry back into pixels with the same list.
QtPlacement qtPlacement(const Rect& root);

// Puts a top-level widget on its screen at the placement; again after show(),
// since a new window may be put elsewhere by the server.
void placeWindow(QWidget* window, const QtPlacement& placement);

// What the screen shows under the placement, in device pixels (its ratio set,
// so drawing it over the window's logical rectangle maps pixel to pixel).
QPixmap grabUnder(const QtPlacement& placement);

// Root pixels per logical unit on the monitor at root pixels.
double pixelRatioOf(const Rect& monitor);

}  // namespace seam
