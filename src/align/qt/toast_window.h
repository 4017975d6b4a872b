// The toast: a click-through, pill-shaped black label above normal windows.
#pragma once

#include <QWidget>

#include "align/pill.h"

namespace seam {

class QtToastFactory : public ToastFactory {
  public:
    // placed: false where the compositor places windows (Wayland); the toast
    // then shows where it puts a small window, centred on the output in use.
    explicit QtToastFactory(Arrangement& arrangement, bool placed = true)
        : arrangement_(arrangement), placed_(placed) {}
    Point measure(const std::string& text) override;
    double scaleOf(const Rect& screen) override;
    std::shared_ptr<ToastWindow> open(const std::string& text, const Rect& frame) override;

    static QFont font();
    static Point labelSize(const std::string& text);
    // Draws a toast of size into painter; also used to render previews.
    static void paintToast(QPainter& painter, const QSize& size, const QString& text);

  private:
    Arrangement& arrangement_;
    bool placed_;
};

}  // namespace seam
