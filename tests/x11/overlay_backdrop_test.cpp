// The align overlay whose dimmed picture of the screen the X server keeps:
// read back from the server, it shows what the reference images show, and it
// covers its monitor, picture and all.
#include <gtest/gtest.h>

#include <QImage>

#include "align/qt/overlay_window.h"
#include "geometry/arrangement.h"
#include "platform/x11/x11_backdrop.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_display_services.h"
#include "qt/overlay_references.h"
#include "qt/qt_app.h"
#include "qt_on_x.h"
#include "x11_environment.h"
// After gtest and Qt: Xlib's macros clash with their names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace seam {
namespace {

using testing::xserver;

// The external monitor, DUMMY1, at (1710, 0): as large as the reference images.
const Rect kExternal{1710, 0, 1280, 960};
// The server's rounding of the dimming may differ from Qt's by a step.
constexpr int kTolerance = 8;
constexpr double kShare = 0.0001;

class OverlayBackdrop : public testing::QtOnX {
  protected:
    void SetUp() override {
        ASSERT_TRUE(xserver()->arrange());
        services = X11DisplayServices::open();
        ASSERT_NE(services, nullptr);
        display = services->connection()->display();
        arrangement = std::make_unique<Arrangement>(*services);
        const QColor c = testing::kReferenceScreen;
        XSetWindowBackground(display, DefaultRootWindow(display),
                             (c.red() << 16) | (c.green() << 8) | c.blue());
        XClearWindow(display, DefaultRootWindow(display));
        XSync(display, False);
    }
    void TearDown() override {
        if (!display) return;
        XSetWindowBackground(display, DefaultRootWindow(display), 0);
        XClearWindow(display, DefaultRootWindow(display));
        XSync(display, False);
    }

    QImage screen(const Rect& r) {
        XImage* image = XGetImage(display, DefaultRootWindow(display), int(r.x), int(r.y),
                                  unsigned(r.width), unsigned(r.height), AllPlanes, ZPixmap);
        if (!image) return {};
        QImage out = QImage(reinterpret_cast<uchar*>(image->data), image->width, image->height,
                            image->bytes_per_line, QImage::Format_RGB32)
                         .copy();
        XDestroyImage(image);
        return out;
    }

    std::unique_ptr<X11DisplayServices> services;
    Display* display = nullptr;
    std::unique_ptr<Arrangement> arrangement;
};

TEST_F(OverlayBackdrop, ShowsWhatTheReferenceImagesShow) {
    int made = 0;
    QtOverlayFactory factory(*arrangement, [&](unsigned long window, const Rect& root) {
        auto backdrop =
            makeX11Backdrop(services->connection(), window, root, AlignOverlayView::kDim);
        made += backdrop != nullptr;
        return backdrop;
    });
    std::uint32_t external = 0;
    for (const Disp& d : arrangement->displays())
        if (d.f == kExternal) external = d.id;
    ASSERT_NE(external, 0u);
    for (const auto& [name, content] : testing::kOverlayReferences) {
        SCOPED_TRACE(name);
        auto overlay = factory.open(external, kExternal, {}, {});
        overlay->redraw(content);
        // Drawn once the server has shown the window. Closer than the widget
        // tests ask: a missing marker would pass their share of differing pixels.
        const auto matches = [&] {
            return testing::matchesReference(screen(kExternal), name, kTolerance, kShare);
        };
        EXPECT_TRUE(waitFor([&] { return bool(matches()); })) << matches().message();
    }
    EXPECT_EQ(made, int(testing::kOverlayReferences.size()));
}

}  // namespace
}  // namespace seam
