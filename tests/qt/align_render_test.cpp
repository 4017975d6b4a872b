// The overlay in its three states and a toast, drawn as the windows draw them.
#include <gtest/gtest.h>

#include <QPainter>

#include "align/qt/overlay_window.h"
#include "align/qt/toast_window.h"
#include "qt_app.h"
#include "shell/engine_messages.h"
#include "shell/hot_key_spec.h"

namespace seam {
namespace {

QImage overlay(const OverlayContent& c, QSize size = {1280, 960}) {
    testing::qtApp();
    QImage image(size, QImage::Format_ARGB32);
    image.fill(QColor(90, 140, 200));  // stands for the picture of the screen
    QPixmap background = QPixmap::fromImage(image);
    QPainter p(&image);
    AlignOverlayView::paintOverlay(p, size, background, c);
    return image;
}

TEST(AlignRender, OverlayStates) {
    struct Case {
        const char* name;
        OverlayContent content;
    };
    const Case cases[] = {
        {"overlay_start",
         {"① Click where you want to cross to the other screen",
          "Click near an edge. The closest edge becomes the connection point.\nExample: to cross "
          "up and to the left, click the left part of the top edge · Esc to cancel",
          std::nullopt, std::nullopt}},
        {"overlay_first",
         {"① Starting point selected",
          "Laptop, top edge\nClick elsewhere to change it · Esc to cancel", Point{300, 12},
          std::make_pair(Side::top, 300.0)}},
        {"overlay_second",
         {"② Click where you want to come in on this screen",
          "It connects along the bottom edge of the monitor at that point · Esc to cancel",
          Point{1268, 948}, std::make_pair(Side::right, 900.0)}},
    };
    for (const Case& c : cases) {
        const QImage image = overlay(c.content);
        EXPECT_TRUE(testing::matchesReference(image, c.name)) << c.name;
    }
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
