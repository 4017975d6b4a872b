// Align mode where the compositor places every window (Wayland): each display
// is covered by a window gone full screen on the screen showing its output. No
// client may read the screen there, so the dimming is real translucency.
#pragma once

#include <optional>

#include "align/align_mode.h"
#include "align/qt/overlay_window.h"

namespace seam {

class OutputOverlayView : public KeyWindow {
    Q_OBJECT
  public:
    // frame: the display the window covers, in global display space.
    explicit OutputOverlayView(const Rect& frame);
    OverlayContent content;
    std::function<void()> onClick;
    // The last primary click, in global display space.
    std::optional<Point> clicked;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    Rect frame_;
};

class OutputOverlayFactory : public OverlayFactory {
  public:
    explicit OutputOverlayFactory(Arrangement& arrangement) : arrangement_(arrangement) {}
    // The compositor gives the keyboard to the window it shows last.
    void activate() override {}
    // nullptr, said in the log, when no screen is known to show the display.
    std::unique_ptr<OverlaySurface> open(std::uint32_t id, const Rect& frame,
                                         std::function<void()> onClick,
                                         std::function<void()> onEsc) override;

  private:
    Arrangement& arrangement_;
};

}  // namespace seam
