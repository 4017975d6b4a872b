#include "base/qt/app_icon.h"

#include <QPainter>
#include <QPixmap>

#include "base/qt/theme_icon.h"
#include "main/version.h"

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
    // The package installs both tones as theme status icons; a theme may restyle them.
    const QString name =
        QString::fromUtf8(kBundleIdentifier) + (lightLines ? "-tray-light" : "-tray-dark");
    return themedIcon(name, lightLines ? twoScreens(QColor(240, 240, 240), QColor(80, 80, 80))
                                       : applicationIcon());
}

}  // namespace seam
