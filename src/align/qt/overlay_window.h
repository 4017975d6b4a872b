// Align mode's full-screen overlay: a dimmed picture of the screen with the
// instructions, the chosen edge and the marker. Override-redirect, above
// everything, and it takes the keyboard so Escape reaches it.
#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>
#include <functional>

#include "align/align_mode.h"
#include "platform/root_pixels.h"

namespace seam {

class KeyWindow : public QWidget {
    Q_OBJECT
  public:
    explicit KeyWindow(bool overlayLevel);
    std::function<void()> onEsc;
    // While an overlay holds the keyboard the server delivers no grabbed hot
    // key: presses go here first; true when one ran.
    static inline std::function<bool(const QKeyEvent&)> hotKeys;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class AlignOverlayView : public KeyWindow {
    Q_OBJECT
  public:
    // picture: what the screen shows beneath, already dimmed, one image pixel
    // to a device pixel of the window.
    explicit AlignOverlayView(QImage picture);
    // The opacity of the black laid over the picture of the screen.
    static constexpr double kDim = 0.38;
    OverlayContent content;
    std::function<void()> onClick;

    // The picture of the screen with its 38 % black laid on, in its own memory
    // where it can: no second full-size image.
    static QImage dimmed(QImage picture);
    // Draws into painter over a view of size (logical units); also used to
    // render previews. The marker comes in display pixels, ratio of them to a unit.
    static void paintOverlay(QPainter& painter, const QSize& size, const QImage& dimmedPicture,
                             const OverlayContent& content, double ratio = 1);
    // What is drawn over the picture: the texts, the edge band and the marker.
    static void paintMarks(QPainter& painter, const QSize& size, const OverlayContent& content,
                           double ratio);
    struct OverlayTexts {
        QFont titleFont, subFont;
        QRectF titleBox, subBox;  // where each is drawn, centred at the top
        QRectF inked;             // what the two lines cover
    };
    static OverlayTexts texts(const QSize& size, const OverlayContent& content);
    // Where the marker's circle goes, in the view's units.
    static QPointF markerCentre(Point marker, const QSize& size, double ratio);

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Only the primary button picks a point.
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QImage picture_;
};

// A widget overlay as align mode holds it. grab: take the keyboard, which no
// window manager hands an override-redirect window.
template <class View>
class WidgetOverlaySurface : public OverlaySurface {
  public:
    WidgetOverlaySurface(View* view, bool grab) : view_(view), grab_(grab) {}
    ~WidgetOverlaySurface() override {
        if (grab_) view_->releaseKeyboard();
        view_->hide();
        view_->deleteLater();  // may be inside one of its own event handlers
    }
    void redraw(const OverlayContent& content) override {
        view_->content = content;
        view_->update();
    }
    void makeKey() override {
        view_->raise();
        view_->activateWindow();
        view_->setFocus(Qt::ActiveWindowFocusReason);
        if (grab_) view_->grabKeyboard();
    }
    std::optional<Point> clickPoint() const override {
        if constexpr (requires { view_->clicked; }) return view_->clicked;
        return std::nullopt;
    }

  private:
    View* view_;
    bool grab_;
};

// Opens overlays on the real screens through the arrangement's coordinate mapping.
class QtOverlayFactory : public OverlayFactory {
  public:
    // Makes a window's dimmed picture of the screen beneath it, kept by the
    // window system; nothing where it cannot.
    using BackdropMaker =
        std::function<std::unique_ptr<ScreenBackdrop>(unsigned long window, const Rect& root)>;
    explicit QtOverlayFactory(Arrangement& arrangement, BackdropMaker backdrops = {})
        : arrangement_(arrangement), backdrops_(std::move(backdrops)) {}
    void activate() override;
    std::unique_ptr<OverlaySurface> open(std::uint32_t id, const Rect& frame,
                                         std::function<void()> onClick,
                                         std::function<void()> onEsc) override;

  private:
    Arrangement& arrangement_;
    BackdropMaker backdrops_;
};

}  // namespace seam
