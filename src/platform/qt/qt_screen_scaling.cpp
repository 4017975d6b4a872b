#include "platform/qt/qt_screen_scaling.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace seam {

namespace {
NativePlacer& nativePlacer() {
    static NativePlacer placer;
    return placer;
}
}  // namespace

void setNativePlacer(NativePlacer placer) {
    nativePlacer() = std::move(placer);
}

std::vector<ScaledScreen> scaledScreens() {
    std::vector<ScaledScreen> out;
    for (QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        // Qt keeps a screen's top-left at its native position and scales from there.
        out.push_back({{double(g.x()), double(g.y()), double(g.width()), double(g.height())},
                       {double(g.x()), double(g.y())},
                       s->devicePixelRatio()});
    }
    return out;
}

QtPlacement qtPlacement(const Rect& root) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    const auto placed = placeScaled(root, scaledScreens());
    if (!placed || placed->screen >= std::size_t(screens.size()))
        return {nullptr, QRectF(root.x, root.y, root.width, root.height).toAlignedRect(),
                std::nullopt, root};
    QScreen* screen = screens[qsizetype(placed->screen)];
    const Rect& g = placed->logical;
    return QtPlacement{screen, QRect(int(g.x), int(g.y), int(g.width), int(g.height)),
                       placed->native, root};
}

void placeWindow(QWidget* window, const QtPlacement& placement) {
    // Qt converts a window's geometry with the factor of the screen it is on.
    if (placement.screen) window->setScreen(placement.screen);
    window->setGeometry(placement.geometry);
    // After Qt's own request, on the connection Qt sends it through, so it wins.
    if (placement.native && nativePlacer()) nativePlacer()(window->winId(), *placement.native);
}

void placeWindow(QWindow* window, const QtPlacement& placement) {
    if (placement.screen) window->setScreen(placement.screen);
    window->setGeometry(placement.geometry);
    if (placement.native && nativePlacer()) nativePlacer()(window->winId(), *placement.native);
}

QPixmap grabUnder(const QtPlacement& p) {
    // Past the screen's edge a grab holds no picture of anything.
    if (!p.screen || !p.screen->geometry().contains(p.geometry)) return {};
    // A whole-screen grab is taken relative to the screen, in its logical units.
    const QPoint at = p.geometry.topLeft() - p.screen->geometry().topLeft();
    return p.screen->grabWindow(0, at.x(), at.y(), p.geometry.width(), p.geometry.height());
}

QImage pictureUnder(const QtPlacement& p) {
    QImage picture = grabUnder(p).toImage();
    picture.setDevicePixelRatio(1);
    return picture;
}

double pixelRatioOf(const Rect& monitor) {
    return ratioOfMonitor(monitor, scaledScreens());
}

}  // namespace seam
