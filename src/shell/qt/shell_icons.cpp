#include "shell/qt/shell_icons.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

namespace seam {

namespace {
QPixmap blank(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

QColor withAlpha(QColor c, double alpha) {
    c.setAlphaF(float(alpha));
    return c;
}
}  // namespace

QColor secondaryLabelColour() {
    return withAlpha(QGuiApplication::palette().color(QPalette::WindowText), 0.55);
}

QColor tertiaryLabelColour() {
    return withAlpha(QGuiApplication::palette().color(QPalette::WindowText), 0.3);
}

QColor accentColour() {
    return QGuiApplication::palette().color(QPalette::Highlight);
}

QPixmap clearIconPixmap(int size, const QColor& colour) {
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    QPainterPath circle;
    circle.addEllipse(QRectF(1, 1, s - 2, s - 2));
    QPainterPath cross;
    const double a = s * 0.33, b = s * 0.67;
    QPainterPathStroker stroker;
    stroker.setWidth(s * 0.12);
    stroker.setCapStyle(Qt::RoundCap);
    QPainterPath lines;
    lines.moveTo(a, a);
    lines.lineTo(b, b);
    lines.moveTo(b, a);
    lines.lineTo(a, b);
    // The cross is cut out of the disc, so it shows what is behind.
    p.fillPath(circle.subtracted(stroker.createStroke(lines)), colour);
    return pm;
}

QPixmap trashIconPixmap(int size, const QColor& colour) {
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 16.0;
    p.setPen(QPen(colour, 1.3 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(2.5 * s, 4 * s), QPointF(13.5 * s, 4 * s));
    p.drawLine(QPointF(6 * s, 4 * s), QPointF(6.5 * s, 2 * s));
    p.drawLine(QPointF(6.5 * s, 2 * s), QPointF(9.5 * s, 2 * s));
    p.drawLine(QPointF(9.5 * s, 2 * s), QPointF(10 * s, 4 * s));
    QPainterPath can;
    can.moveTo(3.8 * s, 4 * s);
    can.lineTo(4.6 * s, 14 * s);
    can.lineTo(11.4 * s, 14 * s);
    can.lineTo(12.2 * s, 4 * s);
    p.drawPath(can);
    p.drawLine(QPointF(6.6 * s, 6.5 * s), QPointF(6.9 * s, 11.8 * s));
    p.drawLine(QPointF(9.4 * s, 6.5 * s), QPointF(9.1 * s, 11.8 * s));
    return pm;
}

}  // namespace seam
