#include "app/qt/exact_placement.h"

#include <QGuiApplication>

#include "platform/qt/qt_screen_scaling.h"
#include "platform/x11/x11_window_placement.h"

namespace seam {

void placeWindowsExactlyOnX11() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11) return;
    setNativePlacer([c = x11->connection()](unsigned long window, const Rect& root) {
        placeWindowExactly(c, window, root);
    });
}

}  // namespace seam
