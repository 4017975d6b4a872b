#include "align/qt/overlay_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/qt/qt_screen_scaling.h"

namespace seam {

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QColor accent() {
    return QApplication::palette().color(QPalette::Highlight);
}

class QtOverlaySurface : public OverlaySurface {
  public:
    explicit QtOverlaySurface(AlignOverlayView* view) : view_(view) {}
    ~QtOverlaySurface() override {
        view_->releaseKeyboard();
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
        // Without a window manager nothing hands an override-redirect window the
        // keyboard; take it, so Escape works wherever focus was.
        view_->grabKeyboard();
    }

  private:
    AlignOverlayView* view_;
};
}  // namespace

KeyWindow::KeyWindow(bool overlayLevel)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           (overlayLevel ? Qt::X11BypassWindowManagerHint : Qt::WindowFlags())) {
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    setFocusPolicy(Qt::StrongFocus);
}

void KeyWindow::keyPressEvent(QKeyEvent* event) {
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
               QColor(0, 0, 0, int(0.38 * 255 + 0.5)));
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
    p.setRenderHint(QPainter::Antialiasing);

    QFont title = QApplication::font();
    title.setPixelSize(24);
    title.setWeight(QFont::DemiBold);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(40, H / 2.0 - 44, W - 80, 34), Qt::AlignHCenter | Qt::AlignTop, qs(c.title));
    QFont sub = QApplication::font();
    sub.setPixelSize(14);
    sub.setWeight(QFont::Normal);
    p.setFont(sub);
    p.setPen(QColor(255, 255, 255, int(0.8 * 255 + 0.5)));
    p.drawText(QRectF(40, H / 2.0 - 2, W - 80, 60), Qt::AlignHCenter | Qt::AlignTop, qs(c.sub));

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
        // Still whole on a scaled screen, where 12 pixels are fewer units.
        const double x = std::clamp(c.marker->x / ratio, 12.0, std::max(12.0, W - 12.0));
        const double y = std::clamp(c.marker->y / ratio, 12.0, std::max(12.0, H - 12.0));
        const QRectF dot(x - 11, y - 11, 22, 22);
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
    // Taken before the overlay exists, so it shows what lies beneath.
    auto* view = new AlignOverlayView(AlignOverlayView::dimmed(rootPictureUnder(placement)));
    view->onClick = std::move(onClick);
    view->onEsc = std::move(onEsc);
    placeWindow(view, placement);
    view->show();
    placeWindow(view, placement);
    view->raise();
    return std::make_unique<QtOverlaySurface>(view);
}

}  // namespace seam
