// Icons from the desktop's icon theme, where the package installs ours, so a
// theme can restyle them; the drawn ones stand in wherever none is installed.
#pragma once

#include <QIcon>
#include <QString>

namespace seam {

// The theme's icon of that name, else fallback.
QIcon themedIcon(const QString& name, const QIcon& fallback);

// Named after the application identifier, as the desktop entry names it.
QIcon themedApplicationIcon();

}  // namespace seam
