#include "base/qt/theme_icon.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include "base/qt/app_icon.h"
#include "main/version.h"
#include "qt_app.h"
#include "support/log_capture.h"

namespace seam {
namespace {

QImage pictureOf(const QIcon& icon) {
    return icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
}

// A theme that holds one 32-pixel red icon named `icon`, or none.
void writeTheme(const QString& root, const QString& theme, const QString& icon) {
    QDir(root).mkpath(theme + "/32x32/apps");
    QFile index(root + "/" + theme + "/index.theme");
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=" + theme.toUtf8() +
                "\nDirectories=32x32/apps\n\n[32x32/apps]\nSize=32\nType=Fixed\n");
    if (icon.isEmpty()) return;
    QImage red(32, 32, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(root + "/" + theme + "/32x32/apps/" + icon + ".png"));
}

TEST(ThemeIconTest, TheThemesIconWhenInstalledElseTheDrawnOne) {
    testing::qtApp();
    testing::TempDir dir;
    const QString root = QString::fromStdString(dir.path());
    const QString id = QString::fromUtf8(kBundleIdentifier);
    const QStringList paths = QIcon::themeSearchPaths();
    const QString themeBefore = QIcon::themeName();
    QIcon::setThemeSearchPaths({root});

    const struct {
        const char* theme;
        QString installed;
        bool themed;
    } cases[] = {
        {"with-ours", id, true},
        {"without-ours", "", false},
        {"another-name", id + "-other", false},
    };
    const QImage drawn = pictureOf(applicationIcon());
    for (const auto& c : cases) {
        writeTheme(root, c.theme, c.installed);
        QIcon::setThemeName(c.theme);
        const QImage got = pictureOf(themedApplicationIcon());
        ASSERT_FALSE(got.isNull()) << c.theme;
        EXPECT_EQ(got.pixelColor(16, 16) == QColor(Qt::red), c.themed) << c.theme;
        EXPECT_EQ(got == drawn, !c.themed) << c.theme;
    }
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(themeBefore);
}

}  // namespace
}  // namespace seam
