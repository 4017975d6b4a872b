#include "align/qt/overlay_window.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "align/qt/backdrop_overlay.h"
#include "platform/qt/qt_screen_scaling.h"

namespace seam {

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QColor accent() {
    return QApplication::palette().color(QPalette::Highlight);
}

class BackdropSurface : public OverlaySurface {
  public:
    explicit BackdropSurface(BackdropOverlay* window) : window_(window) {}
    ~BackdropSurface() override {
        window_->setKeyboardGrabEnabled(false);
        window_->hide();
        window_->deleteLater();  // may be inside one of its own event handlers
    }
    void redraw(const OverlayContent& content) override { window_->setContent(content); }
    void makeKey() override {
        window_->raise();
        window_->requestActivate();
        // As the widget overlay: nothing else hands an override-redirect window the keyboard.
        window_->setKeyboardGrabEnabled(true);
    }

  private:
    BackdropOverlay* window_;
};
}  // namespace

KeyWindow::KeyWindow(bool overlayLevel)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           (overlayLevel ? Qt::X11BypassWindowManagerHint : Qt::WindowFlags())) {
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    setFocusPolicy(Qt::StrongFocus);
}

void KeyWindow::keyPressEvent(QKeyEvent* event) {
    if (hotKeys && hotKeys(*event)) {
        event->accept();  // the key's action may have closed this window already
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        if (onEsc) {
            auto callback = onEsc;  // the callback may close this window
            callback();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

AlignOverlayView::AlignOverlayView(QImage picture) : KeyWindow(true), picture_(std::move(picture)) {
    setCursor(Qt::CrossCursor);
    // Every pixel is painted each time; nothing to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage AlignOverlayView::dimmed(QImage picture) {
    // No compositor, so no real translucency: dim a picture of the screen instead.
    if (picture.isNull()) return picture;
    if (picture.format() != QImage::Format_RGB32 &&
        picture.format() != QImage::Format_ARGB32_Premultiplied)
        picture.convertTo(QImage::Format_RGB32);
    QPainter p(&picture);
    p.fillRect(QRect(QPoint(0, 0), picture.size() / picture.devicePixelRatio()),
               QColor(0, 0, 0, int(kDim * 255 + 0.5)));
    return picture;
}

void AlignOverlayView::paintOverlay(QPainter& p, const QSize& size, const QImage& picture,
                                    const OverlayContent& c, double ratio) {
    const int W = size.width(), H = size.height();
    const double deviceRatio = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    if (picture.width() < std::lround(W * deviceRatio) ||
        picture.height() < std::lround(H * deviceRatio))
        p.fillRect(QRect(0, 0, W, H), Qt::black);
    if (!picture.isNull()) {
        // Pixel for pixel, a plain copy: at a fractional ratio the window's
        // units do not come out whole, and scaling the picture would blur it.
        p.save();
        p.resetTransform();
        p.scale(1 / deviceRatio, 1 / deviceRatio);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(0, 0), picture);
        p.restore();
    }
    paintMarks(p, size, c, ratio);
}

AlignOverlayView::OverlayTexts AlignOverlayView::texts(const QSize& size, const OverlayContent& c) {
    const double W = size.width(), H = size.height();
    OverlayTexts t;
    t.titleFont = QApplication::font();
    t.titleFont.setPixelSize(24);
    t.titleFont.setWeight(QFont::DemiBold);
    t.subFont = QApplication::font();
    t.subFont.setPixelSize(14);
    t.subFont.setWeight(QFont::Normal);
    t.titleBox = QRectF(40, H / 2.0 - 44, W - 80, 34);
    t.subBox = QRectF(40, H / 2.0 - 2, W - 80, 60);
    const int flags = Qt::AlignHCenter | Qt::AlignTop;
    t.inked = QFontMetricsF(t.titleFont).boundingRect(t.titleBox, flags, qs(c.title)) |
              QFontMetricsF(t.subFont).boundingRect(t.subBox, flags, qs(c.sub));
    return t;
}

QPointF AlignOverlayView::markerCentre(Point marker, const QSize& size, double ratio) {
    // Still whole on a scaled screen, where 12 pixels are fewer units.
    const double W = size.width(), H = size.height();
    return {std::clamp(marker.x / ratio, 12.0, std::max(12.0, W - 12.0)),
            std::clamp(marker.y / ratio, 12.0, std::max(12.0, H - 12.0))};
}

void AlignOverlayView::paintMarks(QPainter& p, const QSize& size, const OverlayContent& c,
                                  double ratio) {
    const int W = size.width(), H = size.height();
    p.setRenderHint(QPainter::Antialiasing);

    const OverlayTexts t = texts(size, c);
    p.setFont(t.titleFont);
    p.setPen(Qt::white);
    p.drawText(t.titleBox, Qt::AlignHCenter | Qt::AlignTop, qs(c.title));
    p.setFont(t.subFont);
    p.setPen(QColor(255, 255, 255, int(0.8 * 255 + 0.5)));
    p.drawText(t.subBox, Qt::AlignHCenter | Qt::AlignTop, qs(c.sub));

    if (c.edge) {
        QRectF band;
        switch (c.edge->first) {
            case Side::top:
                band = {0, 0, double(W), 6};
                break;
            case Side::bottom:
                band = {0, H - 6.0, double(W), 6};
                break;
            case Side::left:
                band = {0, 0, 6, double(H)};
                break;
            case Side::right:
                band = {W - 6.0, 0, 6, double(H)};
                break;
        }
        p.fillRect(band, accent());
    }
    if (c.marker) {
        const QPointF m = markerCentre(*c.marker, size, ratio);
        const QRectF dot(m.x() - 11, m.y() - 11, 22, 22);
        p.setPen(Qt::NoPen);
        p.setBrush(accent());
        p.drawEllipse(dot);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 3));
        p.drawEllipse(dot.adjusted(1.5, 1.5, -1.5, -1.5));
    }
}

void AlignOverlayView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintOverlay(p, size(), picture_, content, devicePixelRatioF());
}

void AlignOverlayView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    if (onClick) {
        auto callback = onClick;
        callback();
    }
}

void QtOverlayFactory::activate() {
    // A tray program has no window to raise; the overlays take the keyboard themselves.
}

std::unique_ptr<OverlaySurface> QtOverlayFactory::open(std::uint32_t, const Rect& frame,
                                                       std::function<void()> onClick,
                                                       std::function<void()> onEsc) {
    const QtPlacement placement = qtPlacement(arrangement_.cocoaRect(frame));
    if (backdrops_) {
        auto* window = new BackdropOverlay;
        placeWindow(window, placement);
        // Taken before the overlay shows, so it shows what lies beneath.
        if ((window->backdrop = backdrops_(window->winId(), placement.root))) {
            window->onClick = std::move(onClick);
            window->onEsc = std::move(onEsc);
            window->show();
            placeWindow(window, placement);
            window->raise();
            return std::make_unique<BackdropSurface>(window);
        }
        delete window;
    }
    auto* view = new AlignOverlayView(AlignOverlayView::dimmed(pictureUnder(placement)));
    view->onClick = std::move(onClick);
    view->onEsc = std::move(onEsc);
    placeWindow(view, placement);
    view->show();
    placeWindow(view, placement);
    view->raise();
    return std::make_unique<WidgetOverlaySurface<AlignOverlayView>>(view, true);
}

}  // namespace seam
