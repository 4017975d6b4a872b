#include "engine/qt/edge_bar_window.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <cmath>

#include "platform/qt/qt_screen_scaling.h"

namespace seam {

namespace {
constexpr double kRadius = 3;
constexpr double kStripAlpha = 0.45;
constexpr double kFadeSeconds = 0.25;
constexpr int kFadeSteps = 10;
}  // namespace

// Without a compositor X11 has no translucency: the strip paints itself over a
// grab of what was beneath it when it appeared.
class EdgeBarWindow::BarView : public QWidget {
  public:
    // markerAt in display pixels along the strip.
    BarView(bool horizontal, double markerAt, QPixmap backdrop)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::X11BypassWindowManagerHint | Qt::WindowTransparentForInput |
                               Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint),
          horizontal_(horizontal),
          markerAt_(markerAt),
          backdrop_(std::move(backdrop)) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
    }

    double markerAt() const { return markerAt_; }
    bool horizontal() const { return horizontal_; }
    double opacity() const { return opacity_; }
    void setOpacity(double o) {
        opacity_ = std::max(0.0, o);
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (!backdrop_.isNull())
            p.drawPixmap(rect(), backdrop_);
        else
            p.fillRect(rect(), palette().color(QPalette::Window));
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        const QColor accent = palette().color(QPalette::Active, QPalette::Highlight);
        QColor strip = accent;
        strip.setAlphaF(float(kStripAlpha * opacity_));
        p.setBrush(strip);
        p.drawRoundedRect(QRectF(rect()), kRadius, kRadius);
        QColor solid = accent;
        solid.setAlphaF(float(opacity_));
        p.setBrush(solid);
        // Display pixels to the view's units, by the scale of the screen it is on now.
        const double ratio = devicePixelRatioF();
        const double half = edge_bar::kMarkerHalf / ratio, at = markerAt_ / ratio;
        const QRectF marker = horizontal_ ? QRectF(at - half, 0, 2 * half, height())
                                          : QRectF(0, at - half, width(), 2 * half);
        p.drawRoundedRect(marker, kRadius, kRadius);
    }

  private:
    bool horizontal_;
    double markerAt_;
    QPixmap backdrop_;
    double opacity_ = 1;
};

struct EdgeBarWindow::Strip {
    std::unique_ptr<BarView> view;
    Scheduler::TaskId delay = 0;
    Scheduler::TaskId ticker = 0;
    int steps = 0;
};

EdgeBarWindow::EdgeBarWindow(Arrangement& arrangement, Scheduler& scheduler)
    : arrangement_(arrangement), scheduler_(scheduler) {}

EdgeBarWindow::~EdgeBarWindow() {
    hide();
}

QWidget* EdgeBarWindow::window() const {
    return strip_ ? strip_->view.get() : nullptr;
}

void EdgeBarWindow::hide() {
    if (!strip_) return;
    // Its pending fade goes with it, so an old fade never touches a newer strip.
    scheduler_.cancel(strip_->delay);
    scheduler_.cancel(strip_->ticker);
    strip_->view->hide();
    strip_.reset();
}

void EdgeBarWindow::show(Side side, std::pair<double, double> span, double marker, const Rect& on,
                         double seconds) {
    hide();
    const auto strip = edgeBarStrip(side, span, on);
    if (!strip) return;
    const QtPlacement placement = qtPlacement(arrangement_.cocoaRect(*strip));
    const QPixmap backdrop = grabUnder(placement);
    const double len = span.second - span.first;
    auto view = std::make_unique<BarView>(horizontal(side), edgeBarMarker(marker, span.first, len),
                                          std::move(backdrop));
    placeWindow(view.get(), placement);
    view->show();  // mapped last, so it lies above everything else

    strip_ = std::make_unique<Strip>();
    strip_->view = std::move(view);
    strip_->delay = scheduler_.after(seconds, [this] { fadeOut(); });
}

void EdgeBarWindow::fadeOut() {
    if (!strip_) return;
    strip_->delay = 0;
    strip_->ticker = scheduler_.every(kFadeSeconds / kFadeSteps, [this] {
        if (!strip_) return;
        const int step = ++strip_->steps;
        strip_->view->setOpacity(1.0 - double(step) / kFadeSteps);
        if (step >= kFadeSteps) hide();
    });
}

}  // namespace seam
