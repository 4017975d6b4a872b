#include "main/qt/app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace seam {

namespace {
QIcon twoScreens(const QColor& lines, const QColor& fill) {
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(lines, 5));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(4, 14, 30, 24), 4, 4);
    p.drawRoundedRect(QRectF(30, 26, 30, 24), 4, 4);
    return QIcon(pm);
}
}  // namespace

QIcon applicationIcon() {
    return twoScreens(QColor(40, 40, 40), QColor(250, 250, 250));
}

QIcon trayIcon(bool lightLines) {
    if (!lightLines) return applicationIcon();
    return twoScreens(QColor(240, 240, 240), QColor(80, 80, 80));
}

}  // namespace seam
