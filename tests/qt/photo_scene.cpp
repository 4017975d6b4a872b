#include "qt/photo_scene.h"

#include <QBuffer>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <random>

namespace seam::testing {

QPolygonF screenQuad(const DeskScene& scene, const QRectF& area) {
    const QRectF r(area.x() * scene.width, area.y() * scene.height, area.width() * scene.width,
                   area.height() * scene.height);
    const double k = scene.keystone * r.width();
    QPolygonF quad{QPointF(r.left() + k, r.top()), QPointF(r.right() - k, r.top()), r.bottomRight(),
                   r.bottomLeft()};
    QTransform turn;
    turn.translate(r.center().x(), r.center().y());
    turn.rotate(scene.tilt);
    turn.translate(-r.center().x(), -r.center().y());
    return turn.map(quad);
}

namespace {
QPolygonF grown(const QPolygonF& quad, double by) {
    const QPointF c = quad.boundingRect().center();
    QPolygonF out;
    for (QPointF p : quad) {
        const QPointF d = p - c;
        const double len = std::hypot(d.x(), d.y());
        out << p + d / len * by;
    }
    return out;
}
}  // namespace

QImage renderDesk(const DeskScene& scene) {
    QImage image(scene.width, scene.height, QImage::Format_RGB32);
    image.fill(QColor(152, 116, 84));  // desk
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        // Wall behind the desk, a keyboard, a mug.
        p.fillRect(QRectF(0, 0, scene.width, scene.height * 0.04), QColor(214, 210, 200));
        p.setBrush(QColor(60, 60, 64));
        p.drawRoundedRect(
            QRectF(scene.width * 0.3, scene.height * 0.9, scene.width * 0.4, scene.height * 0.08),
            6, 6);
        p.setBrush(QColor(190, 60, 40));  // reddish, but neither pink nor green
        p.drawEllipse(QPointF(scene.width * 0.9, scene.height * 0.9), scene.width * 0.03,
                      scene.width * 0.03);
        for (const auto& [area, colour] : {std::pair{scene.green, QColor(30, 200, 100)},
                                           std::pair{scene.pink, QColor(225, 40, 175)}}) {
            if (area.isEmpty()) continue;
            const QPolygonF quad = screenQuad(scene, area);
            p.setBrush(QColor(24, 24, 26));
            p.drawPolygon(grown(quad, scene.bezel * scene.width));
            p.setBrush(colour);
            p.drawPolygon(quad);
        }
    }
    // Light falling off towards the lower right, and noise.
    std::mt19937 rng(scene.seed);
    std::uniform_int_distribution<int> jitter(-int(scene.noise), int(scene.noise));
    for (int y = 0; y < scene.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < scene.width; ++x) {
            const double u = double(x) / scene.width, v = double(y) / scene.height;
            const double light = 1.12 - 0.38 * (0.6 * u + 0.4 * v);
            auto channel = [&](int c) {
                return std::clamp(int(std::lround(c * light)) + jitter(rng), 0, 255);
            };
            const QRgb c = line[x];
            line[x] = qRgb(channel(qRed(c)), channel(qGreen(c)), channel(qBlue(c)));
        }
    }
    return image;
}

QByteArray encodeJpeg(const QImage& image, int quality, int orientation) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    if (orientation == 1) return bytes;
    // APP1 "Exif": a big-endian TIFF header and one IFD holding the orientation.
    const char exif[] = {'E',  'x',  'i', 'f', 0, 0,                                    //
                         'M',  'M',  0,   42,  0, 0, 0, 8,                              //
                         0,    1,                                                       //
                         0x01, 0x12, 0,   3,   0, 0, 0, 1, 0, char(orientation), 0, 0,  //
                         0,    0,    0,   0};
    QByteArray segment("\xFF\xE1", 2);
    const int length = int(sizeof exif) + 2;
    segment.append(char(length >> 8)).append(char(length & 0xFF));
    segment.append(exif, sizeof exif);
    return bytes.insert(2, segment);  // right after the start-of-image marker
}

}  // namespace seam::testing
