// Align mode's window where the compositor places windows, here on the virtual
// server's named screens: on the screen named like the display's output or
// nowhere, and a click carried back through the display's frame.
#include "align/qt/output_overlay.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "platform/sim/sim_display_server.h"
#include "qt_on_x.h"
#include "support/log_capture.h"
#include "x11_environment.h"

namespace seam {
namespace {

OutputOverlayView* openView() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<OutputOverlayView*>(w); v && v->isVisible()) return v;
    return nullptr;
}

class OutputOverlayX11 : public testing::QtOnX {};

TEST_F(OutputOverlayX11, OnTheScreenNamedLikeTheOutputOrRefusedAndSaid) {
    ASSERT_NE(testing::xserver(), nullptr);
    ASSERT_TRUE(testing::xserver()->arrange());
    ASSERT_TRUE(waitFor([] { return QGuiApplication::screens().size() == 2; }));
    QScreen* second = QGuiApplication::screens()[1];
    const std::string screen = second->name().toStdString();
    ASSERT_FALSE(screen.empty());
    struct Case {
        std::string output;
        bool covered;
    };
    const Case cases[] = {{screen, true}, {"", false}, {screen + "-2", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE("output '" + c.output + "'");
        SimDisplayServer server;
        server.addDisplay({.id = 1, .frame = {0, 0, 1710, 1112}});
        server.addDisplay({.id = 2, .frame = {1710, 0, 1280, 960}, .output = c.output});
        Arrangement arrangement(server);
        OutputOverlayFactory overlays(arrangement);
        testing::LogCapture capture;
        const auto surface = overlays.open(2, {1710, 0, 1280, 960}, {}, {});
        ASSERT_EQ(surface != nullptr, c.covered);
        if (!c.covered) {
            ASSERT_EQ(capture.messages().size(), 1u);
            EXPECT_EQ(capture.messages()[0].rfind("align overlay: no screen shows output ", 0), 0u)
                << capture.messages()[0];
            continue;
        }
        OutputOverlayView* view = nullptr;
        ASSERT_TRUE(waitFor([&] {
            view = openView();
            return view && view->geometry() == second->geometry();
        })) << "not full screen on "
            << screen;
        EXPECT_EQ(view->screen(), second);
        EXPECT_EQ(surface->clickPoint(), std::nullopt);
        // A quarter of the way across and half way down the window, whatever
        // its size in Qt's units, is that far into the display's frame.
        int clicks = 0;
        view->onClick = [&] { ++clicks; };
        const QPointF at(view->width() / 4.0, view->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, at, view->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &press);
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(surface->clickPoint(), (Point{1710 + 1280 / 4.0, 480}));
        QMouseEvent right(QEvent::MouseButtonPress, {1, 1}, view->mapToGlobal(QPointF(1, 1)),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(view, &right);
        EXPECT_EQ(clicks, 1) << "only the primary button picks";
    }
}

}  // namespace
}  // namespace seam
