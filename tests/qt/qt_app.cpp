#include <gtest/gtest.h>

#include "qt_app.h"

#include <QDir>
#include <QIcon>
#include <QInputDevice>
#include <cstdlib>

namespace seam::testing {

QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    // Made before the application, Qt's default keyboard belongs to nobody and
    // its device list outlives the application: key events in tests would
    // otherwise crash the exit.
    QInputDevice::primaryKeyboard();
    // The same for the cache of theme icons, which the application empties as it goes.
    QIcon::fromTheme(QStringLiteral("seamwright-test"));
    static QApplication instance(argc, argv);
    return instance;
}

::testing::AssertionResult matchesReference(const QImage& rendered, const std::string& name,
                                            int tolerance, double maxShare) {
    const QString reference =
        QString(SEAM_SOURCE_DIR) + "/tests/fixtures/" + QString::fromStdString(name) + ".png";
    const QString actual =
        QString(SEAM_BINARY_DIR) + "/tests/" + QString::fromStdString(name) + ".actual.png";
    const QImage image = rendered.convertToFormat(QImage::Format_ARGB32);
    image.save(actual);
    if (const char* update = std::getenv("SEAM_UPDATE_REFERENCES"); update && *update == '1') {
        QDir().mkpath(QString(SEAM_SOURCE_DIR) + "/tests/fixtures");
        image.save(reference);
    }
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_ARGB32);
    if (expected.isNull())
        return ::testing::AssertionFailure() << "no reference " << reference.toStdString();
    if (expected.size() != image.size())
        return ::testing::AssertionFailure() << "size differs from " << reference.toStdString();
    long differing = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        const QRgb* b = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int d = std::max(
                {std::abs(qRed(a[x]) - qRed(b[x])), std::abs(qGreen(a[x]) - qGreen(b[x])),
                 std::abs(qBlue(a[x]) - qBlue(b[x])), std::abs(qAlpha(a[x]) - qAlpha(b[x]))});
            if (d > tolerance) ++differing;
        }
    }
    const double share = double(differing) / (double(image.width()) * image.height());
    if (share > maxShare)
        return ::testing::AssertionFailure()
               << share * 100 << "% of pixels differ from " << reference.toStdString()
               << "; rendering in " << actual.toStdString();
    return ::testing::AssertionSuccess();
}

}  // namespace seam::testing
