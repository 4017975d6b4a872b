// Align mode's full-screen overlay: a dimmed picture of the screen with the
// instructions, the chosen edge and the marker. Override-redirect, above
// everything, and it takes the keyboard so Escape reaches it.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

#include "align/align_mode.h"

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
    explicit AlignOverlayView(QPixmap background);
    OverlayContent content;
    std::function<void()> onClick;

    // Draws into painter over a view of size (logical units); also used to
    // render previews. The marker comes in display pixels, ratio of them to a unit.
    static void paintOverlay(QPainter& painter, const QSize& size, const QPixmap& background,
                             const OverlayContent& content, double ratio = 1);

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Only the primary button picks a point.
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QPixmap background_;
};

// Opens overlays on the real screens through the arrangement's coordinate mapping.
class QtOverlayFactory : public OverlayFactory {
  public:
    explicit QtOverlayFactory(Arrangement& arrangement) : arrangement_(arrangement) {}
    void activate() override;
    std::unique_ptr<OverlaySurface> open(std::uint32_t id, const Rect& frame,
                                         std::function<void()> onClick,
                                         std::function<void()> onEsc) override;

  private:
    Arrangement& arrangement_;
};

}  // namespace seam
