#include "photo/qt/photo_preview.h"

#include <QPainter>
#include <cmath>

#include "photo/qt/photo_loader.h"

namespace seam {

QColor toQColor(PhotoRgb c) {
    return QColor::fromRgbF(float(c.r), float(c.g), float(c.b));
}

QImage photoPreview(const PhotoAlignResult& result, double width) {
    const QImage picture = PhotoAligner::toQImage(result.image);
    if (picture.isNull() || !(width > 0) || !std::isfinite(width)) return {};
    const double s = width / picture.width();
    const int w = static_cast<int>(std::lround(width));
    const int h = std::max(1, static_cast<int>(std::lround(s * picture.height())));
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) return {};
    out.fill(Qt::black);

    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(0, 0, w, h), picture);

    auto outline = [&](const PhotoBlob& blob, PhotoRgb colour) {
        const QRectF box(blob.box.x * s, blob.box.y * s, blob.box.width * s, blob.box.height * s);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 3));
        p.drawRect(box);
        p.setPen(QPen(toQColor(colour), 1.5));
        p.drawRect(box);
    };
    outline(result.a, photoPink);
    outline(result.b, photoGreen);

    const PhotoSpan span = result.a.span(result.side);
    const double along = span.low + result.aFrac * (span.high - span.low);
    const Rect& box = result.a.box;
    QPointF centre;
    switch (result.side) {
        case Side::top:
            centre = {along, box.minY()};
            break;
        case Side::bottom:
            centre = {along, box.maxY()};
            break;
        case Side::left:
            centre = {box.minX(), along};
            break;
        case Side::right:
            centre = {box.maxX(), along};
            break;
    }
    centre *= s;
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(centre, 9.0, 9.0);
    p.setBrush(kPhotoDotColor);
    p.drawEllipse(centre, 7.0, 7.0);
    p.end();
    return out;
}

}  // namespace seam
