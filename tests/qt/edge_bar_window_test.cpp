// The edge bar window's life: shown, replaced, faded out on virtual time.
#include "engine/qt/edge_bar_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include "platform/sim/manual_clock.h"
#include "platform/sim/sim_display_server.h"
#include "qt_app.h"

namespace seam {
namespace {

class EdgeBarWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::qtApp(); }

    QColor pixel(QWidget* w, int x, int y) { return w->grab().toImage().pixelColor(x, y); }
    QColor accent() { return QApplication::palette().color(QPalette::Active, QPalette::Highlight); }

    ManualClock clock;
    ManualScheduler scheduler{clock};
    SimDisplayServer server;
    Arrangement arrangement{server};
    EdgeBarWindow bar{arrangement, scheduler};
    const Rect panel{0, 0, 1710, 1112};
};

TEST_F(EdgeBarWindowTest, MarkerIsSolidAndKeptOffTheEnds) {
    struct Case {
        double marker;
        int solidAt;  // strip coordinate of the marker centre
    };
    for (const Case c : {Case{500, 300}, Case{150, 14}, Case{950, 686}}) {
        SCOPED_TRACE(c.marker);
        bar.show(Side::bottom, {200, 900}, c.marker, panel, 3);
        ASSERT_NE(bar.window(), nullptr);
        QWidget* w = bar.window();
        EXPECT_EQ(pixel(w, c.solidAt, 2), accent());
        EXPECT_EQ(pixel(w, c.solidAt - 12, 2), accent());
        EXPECT_EQ(pixel(w, c.solidAt + 12, 2), accent());
        // Just past the marker, on whichever side the strip goes on.
        const int beside = c.solidAt + 16 < w->width() ? c.solidAt + 16 : c.solidAt - 16;
        EXPECT_NE(pixel(w, beside, 2), accent());
    }
    // A vertical strip puts its marker along y.
    bar.show(Side::left, {100, 600}, 350, panel, 3);
    EXPECT_EQ(pixel(bar.window(), 2, 250), accent());
    EXPECT_NE(pixel(bar.window(), 2, 200), accent());
}

TEST_F(EdgeBarWindowTest, FadesOutAfterItsTime) {
    bar.show(Side::top, {200, 900}, 500, panel, 3);
    QPointer<QWidget> w = bar.window();
    scheduler.advance(2.99);
    ASSERT_EQ(bar.window(), w.data());
    EXPECT_EQ(pixel(w, 300, 2), accent());
    scheduler.advance(0.135);  // halfway through the fade
    ASSERT_EQ(bar.window(), w.data());
    EXPECT_NE(pixel(w, 300, 2), accent());
    scheduler.advance(0.13);
    EXPECT_EQ(bar.window(), nullptr);
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(scheduler.pending(), 0u);
}

TEST_F(EdgeBarWindowTest, ANewerStripReplacesTheOldOneAndOutlivesItsFade) {
    bar.show(Side::top, {200, 900}, 500, panel, 3);
    QPointer<QWidget> first = bar.window();
    scheduler.advance(2);
    bar.show(Side::top, {300, 1000}, 600, panel, 3);
    EXPECT_TRUE(first.isNull());
    QPointer<QWidget> second = bar.window();
    ASSERT_FALSE(second.isNull());
    scheduler.advance(2);  // past the first one's time
    EXPECT_EQ(bar.window(), second.data());
    EXPECT_EQ(pixel(second, 300, 2), accent());
    scheduler.advance(1.3);
    EXPECT_EQ(bar.window(), nullptr);

    bar.show(Side::top, {200, 900}, 500, panel, 3);
    bar.hide();
    EXPECT_EQ(bar.window(), nullptr);
    EXPECT_EQ(scheduler.pending(), 0u);
}

}  // namespace
}  // namespace seam
