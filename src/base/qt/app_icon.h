// The application's icon: two overlapping screens.
#pragma once

#include <QIcon>

namespace seam {

QIcon applicationIcon();
// The same picture for the tray: dark lines on white screens for a light panel,
// or light lines on dim screens for a dark one.
QIcon trayIcon(bool lightLines);

}  // namespace seam
