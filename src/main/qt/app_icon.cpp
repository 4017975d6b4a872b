#include "main/qt/app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace seam {

QIcon applicationIcon() {
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 5));
    p.setBrush(QColor(250, 250, 250));
    p.drawRoundedRect(QRectF(4, 14, 30, 24), 4, 4);
    p.drawRoundedRect(QRectF(30, 26, 30, 24), 4, 4);
    return QIcon(pm);
}

}  // namespace seam
