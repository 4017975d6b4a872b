#include "update/qt/installer.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QUuid>

#include "base/log.h"
#include "update/qt/app_bundle.h"
#include "update/qt/zip_unpack.h"
#include "update/swap_script.h"
#include "update/web_address.h"

namespace seam {

namespace {

InstallOutcome failed(std::string word) {
    return InstallOutcome{false, std::move(word), {}};
}

}  // namespace

std::string sha256Hex(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
}

InstallOutcome prepareInstall(const InstallJob& job) {
    const std::string digest = sha256Hex(job.archive);
    if (digest != asciiLower(job.entry.sha256)) return failed("sha256 mismatch " + digest);

    const QString home = QFileInfo(job.target).absolutePath();
    if (::access(QFile::encodeName(home).constData(), W_OK) != 0)
        return failed("not writable " + home.toStdString());
    // A canonical path, so the unpacker's link checks see no link in the prefix.
    QString canonicalHome = QFileInfo(home).canonicalFilePath();
    if (canonicalHome.isEmpty()) canonicalHome = home;
    const QString folder = canonicalHome + "/" + kUpdateFolderPrefix +
                           QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    QDir().mkpath(folder);
    // Beside the user's application it is litter: gone again on every failure.
    const auto fail = [&folder](std::string word) {
        QDir(folder).removeRecursively();
        return failed(std::move(word));
    };
    const QString archivePath = folder + "/update.zip";
    {
        QFile file(archivePath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(job.archive) != job.archive.size() || !file.flush())
            return fail("write");
    }

    std::string reason;
    const bool unpacked =
        unpackZip(std::span<const char>(job.archive.constData(), size_t(job.archive.size())),
                  folder.toStdString(), reason);
    if (!unpacked) log("update unzip refused: " + reason);
    QFile::remove(archivePath);
    const QString fresh = folder + "/" + kBundleName;
    const auto bundle = unpacked ? readBundle(fresh) : std::nullopt;
    if (!bundle || bundle->identifier != job.identifier ||
        bundle->version != QString::fromStdString(job.entry.version))
        return fail("unzip/version");

    const QString script = folder + "/swap.sh";
    {
        QSaveFile file(script);
        const QByteArray text(kSwapScript);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
            return fail("script");
    }

    QProcess sh;
    sh.setProgram("/bin/sh");
    sh.setArguments({script, job.target, fresh, QString::number(job.pid), job.logFile});
    sh.setStandardInputFile(QProcess::nullDevice());
    sh.setStandardOutputFile(QProcess::nullDevice());
    sh.setStandardErrorFile(QProcess::nullDevice());
    if (!sh.startDetached()) return fail("launch script");
    return InstallOutcome{true, {}, folder};
}

}  // namespace seam
