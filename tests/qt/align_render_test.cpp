// The overlay in its three states and a toast, drawn as the windows draw them.
#include <gtest/gtest.h>

#include <QPainter>

#include "align/qt/overlay_window.h"
#include "align/qt/toast_window.h"
#include "overlay_references.h"
#include "qt_app.h"
#include "shell/engine_messages.h"
#include "shell/hot_key_spec.h"

namespace seam {
namespace {

// Through the window's own paint, from a picture of the screen as the window
// system hands it over.
QImage overlay(const OverlayContent& c, QSize size = {1280, 960}) {
    testing::qtApp();
    QImage screen(size, QImage::Format_RGB32);
    screen.fill(testing::kReferenceScreen);
    AlignOverlayView view(AlignOverlayView::dimmed(screen));
    view.resize(size);
    view.content = c;
    return view.grab().toImage();
}

TEST(AlignRender, OverlayStates) {
    for (const auto& [name, content] : testing::kOverlayReferences)
        EXPECT_TRUE(testing::matchesReference(overlay(content), name)) << name;
}

TEST(AlignRender, OverlayDimsAndDrawsOnlyWhatItIsGiven) {
    const QImage bare = overlay({"", "", std::nullopt, std::nullopt}, {200, 100});
    // 38 % black over the picture.
    const QColor c = bare.pixelColor(5, 5);
    EXPECT_NEAR(c.red(), 90 * 0.62, 2);
    EXPECT_NEAR(c.blue(), 200 * 0.62, 2);
    const QImage edged =
        overlay({"", "", std::nullopt, std::make_pair(Side::left, 0.0)}, {200, 100});
    EXPECT_NE(edged.pixelColor(2, 50), bare.pixelColor(2, 50));  // inside the 6-point band
    EXPECT_EQ(edged.pixelColor(7, 50), bare.pixelColor(7, 50));  // just past it
    EXPECT_EQ(edged.pixelColor(197, 50), bare.pixelColor(197, 50));
}

TEST(AlignRender, ThePictureLiesPixelForPixelUnderTheWindowAtAnyScale) {
    testing::qtApp();
    QImage screen(500, 400, QImage::Format_RGB32);
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x) screen.setPixel(x, y, qRgb(x, y, x ^ y));
    const QImage picture = AlignOverlayView::dimmed(screen);
    for (double ratio : {1.0, 1.25, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        QImage window(screen.size(), QImage::Format_RGB32);
        window.setDevicePixelRatio(ratio);
        window.fill(Qt::red);
        QPainter p(&window);
        const QSize units(int(500 / ratio + 0.5), int(400 / ratio + 0.5));
        AlignOverlayView::paintOverlay(p, units, picture, {}, ratio);
        p.end();
        int differing = 0;
        for (int y = 0; y < window.height(); ++y)
            for (int x = 0; x < window.width(); ++x)
                differing += window.pixel(x, y) != picture.pixel(x, y);
        EXPECT_EQ(differing, 0);
    }
    // Dimmed in place: no second full-size image.
    QImage own = screen.copy();
    const uchar* bits = own.constBits();
    EXPECT_EQ(AlignOverlayView::dimmed(std::move(own)).constBits(), bits);
}

TEST(AlignRender, Toast) {
    testing::qtApp();
    const std::string text = movedText(Side::right, defaultUndo.display());
    EXPECT_EQ(text, "→ Aligned · Ctrl+Alt+Super+Z to undo");
    const Point label = QtToastFactory::labelSize(text);
    const QSize size(int(label.x) + 20, int(label.y) + 10);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    QtToastFactory::paintToast(p, size, QString::fromStdString(text));
    p.end();
    // Rounded ends: the corner shows what is behind.
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_TRUE(testing::matchesReference(image, "toast"));
}

}  // namespace
}  // namespace seam
