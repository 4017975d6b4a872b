// Photograph-like pictures of a desk with the two coloured screens on it, for
// the photo tests and the benchmark.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPolygonF>
#include <QRectF>

#include "geometry/geometry.h"

namespace seam::testing {

struct DeskScene {
    int width = 1200;
    int height = 900;
    // Screen areas as fractions of the picture, before perspective.
    QRectF pink;
    QRectF green;
    double keystone = 0.03;  // each top corner moves inwards by this share of the width
    double tilt = 1.0;       // degrees, about the screen's centre
    double bezel = 0.012;    // share of the picture width
    double noise = 12;       // largest change per channel
    unsigned seed = 7;
};

// The screen area of a placed rectangle, in picture pixels: top-left, top-right,
// bottom-right, bottom-left.
QPolygonF screenQuad(const DeskScene& scene, const QRectF& area);

// Wood-coloured desk, a keyboard and a mug, both screens in dark bezels,
// lighting falling off towards one corner, and sensor noise.
QImage renderDesk(const DeskScene& scene);

// JPEG bytes; orientation other than 1 adds an EXIF orientation tag.
QByteArray encodeJpeg(const QImage& image, int quality, int orientation = 1);

}  // namespace seam::testing
