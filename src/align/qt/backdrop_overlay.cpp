#include "align/qt/backdrop_overlay.h"

#include <QCursor>
#include <QExposeEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "align/qt/overlay_window.h"

namespace seam {

BackdropOverlay::BackdropOverlay() {
    setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
             Qt::X11BypassWindowManagerHint);
    setCursor(QCursor(Qt::CrossCursor));
}

BackdropOverlay::~BackdropOverlay() = default;

void BackdropOverlay::setContent(const OverlayContent& content) {
    std::vector<QRect> rects = parts(content_);
    for (const QRect& r : parts(content)) rects.push_back(r);
    content_ = content;
    if (isExposed()) paintParts(rects);
}

void BackdropOverlay::exposeEvent(QExposeEvent*) {
    // The window system has painted the background; the rest is ours.
    if (isExposed()) paintParts(parts(content_));
}

void BackdropOverlay::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || !onClick) return;
    auto callback = onClick;  // the callback may close this window
    callback();
}

void BackdropOverlay::keyPressEvent(QKeyEvent* event) {
    // Grabbed hot keys do not reach us while we hold the keyboard.
    if (KeyWindow::hotKeys && KeyWindow::hotKeys(*event)) {
        event->accept();  // the key's action may have closed this window already
        return;
    }
    if (event->key() != Qt::Key_Escape) return QWindow::keyPressEvent(event);
    event->accept();
    if (!onEsc) return;
    auto callback = onEsc;
    callback();
}

std::vector<QRect> BackdropOverlay::parts(const OverlayContent& c) const {
    const double W = width(), H = height();
    // A little past each shape, for antialiasing and glyphs that overhang.
    std::vector<QRectF> logical = {AlignOverlayView::texts(size(), c).inked.adjusted(-4, -4, 4, 4)};
    if (c.edge) {
        switch (c.edge->first) {
            case Side::top:
                logical.push_back({0, 0, W, 8});
                break;
            case Side::bottom:
                logical.push_back({0, H - 8, W, 8});
                break;
            case Side::left:
                logical.push_back({0, 0, 8, H});
                break;
            case Side::right:
                logical.push_back({W - 8, 0, 8, H});
                break;
        }
    }
    if (c.marker) {
        const QPointF m = AlignOverlayView::markerCentre(*c.marker, size(), devicePixelRatio());
        logical.push_back({m.x() - 14, m.y() - 14, 28, 28});
    }
    const double r = devicePixelRatio();
    const QRect bounds(QPoint(0, 0), (QSizeF(size()) * r).toSize());
    std::vector<QRect> out;
    for (const QRectF& l : logical) {
        const QRect d =
            QRectF(l.x() * r, l.y() * r, l.width() * r, l.height() * r).toAlignedRect() & bounds;
        if (!d.isEmpty()) out.push_back(d);
    }
    return out;
}

void BackdropOverlay::paintParts(const std::vector<QRect>& rects) {
    if (!backdrop) return;
    const double r = devicePixelRatio();
    for (const QRect& d : rects) {
        auto pixels = backdrop->read(d.x(), d.y(), d.width(), d.height());
        if (!pixels) continue;
        // Drawn straight into the picture's own pixels.
        QImage image(pixels->data, pixels->width, pixels->height, pixels->stride,
                     QImage::Format_RGB32);
        image.setDevicePixelRatio(r);
        QPainter p(&image);
        p.translate(-d.x() / r, -d.y() / r);
        AlignOverlayView::paintMarks(p, size(), content_, r);
        p.end();
        backdrop->draw(*pixels, d.x(), d.y());
    }
}

}  // namespace seam
