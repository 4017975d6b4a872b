// Align mode's overlay where the window system keeps the dimmed picture of the
// screen as the window's background: only the texts, the edge band and the
// marker are drawn here, over the few rectangles they take.
#pragma once

#include <QWindow>
#include <functional>
#include <memory>

#include "align/align_mode.h"
#include "platform/root_pixels.h"

namespace seam {

class BackdropOverlay : public QWindow {
    Q_OBJECT
  public:
    BackdropOverlay();
    ~BackdropOverlay() override;
    std::function<void()> onClick;
    std::function<void()> onEsc;
    std::unique_ptr<ScreenBackdrop> backdrop;

    // Draws what changed at once when the window shows, else at its exposure.
    void setContent(const OverlayContent& content);

  protected:
    void exposeEvent(QExposeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Where the content draws, in the window's device pixels.
    std::vector<QRect> parts(const OverlayContent& content) const;
    void paintParts(const std::vector<QRect>& rects);
    OverlayContent content_;
};

}  // namespace seam
