// The one place where windows placed by a rectangle of root pixels cross into
// Qt's logical coordinates, whatever Qt's scaling (Xft.dpi, QT_SCALE_FACTOR,
// per-screen factors).
#pragma once

#include <QImage>
#include <QPixmap>
#include <QRect>
#include <functional>
#include <optional>
#include <vector>

#include "platform/screen_scaling.h"

class QScreen;
class QWidget;
class QWindow;

namespace seam {

// Qt's screens, in QGuiApplication::screens() order.
std::vector<ScaledScreen> scaledScreens();

struct QtPlacement {
    QScreen* screen = nullptr;   // none only while Qt knows no screen at all
    QRect geometry;              // logical
    std::optional<Rect> native;  // root pixels, where the logical ones land a pixel off
    Rect root;                   // what was asked for
};

// Moves and sizes a native window to root pixels exactly; set by whoever knows
// the window system. Without one, windows land within a pixel.
using NativePlacer = std::function<void(unsigned long window, const Rect& root)>;
void setNativePlacer(NativePlacer placer);

// Against Qt's screens as Qt has them now, even a moment behind the server:
// Qt turns the geometry back into pixels with the same list.
QtPlacement qtPlacement(const Rect& root);

// Puts a top-level widget on its screen at the placement; again after show(),
// since a new window may be put elsewhere by the server. Where Qt's units fall
// short the native window is created and put right; Qt learns the size back
// from the server, the same whole units it asked for.
void placeWindow(QWidget* window, const QtPlacement& placement);
void placeWindow(QWindow* window, const QtPlacement& placement);

// What the screen shows under the placement, one image pixel to a device
// pixel of a window placed there (its ratio left at 1).
QImage pictureUnder(const QtPlacement& placement);

// What the screen shows under the placement, in device pixels (its ratio set,
// so drawing it over the window's logical rectangle maps pixel to pixel).
QPixmap grabUnder(const QtPlacement& placement);

// Root pixels per logical unit on the monitor at root pixels.
double pixelRatioOf(const Rect& monitor);

}  // namespace seam
