#include "base/qt/theme_icon.h"

#include "base/qt/app_icon.h"
#include "main/version.h"

namespace seam {

QIcon themedIcon(const QString& name, const QIcon& fallback) {
    return QIcon::fromTheme(name, fallback);
}

QIcon themedApplicationIcon() {
    return themedIcon(QString::fromUtf8(kBundleIdentifier), applicationIcon());
}

}  // namespace seam
