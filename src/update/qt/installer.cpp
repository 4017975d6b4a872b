#include "update/qt/installer.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QUuid>

#include "main/log.h"
#include "update/qt/app_bundle.h"
#include "update/qt/zip_unpack.h"
#include "update/swap_script.h"
#include "update/web_address.h"

namespace seam {

namespace {

InstallOutcome failed(std::string word, QString folder = {}) {
    return InstallOutcome{false, std::move(word), std::move(folder)};
}

}  // namespace

std::string sha256Hex(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
}

InstallOutcome prepareInstall(const InstallJob& job) {
    const std::string digest = sha256Hex(job.archive);
    if (digest != asciiLower(job.entry.sha256)) return failed("sha256 mismatch " + digest);

    // A canonical path, so the unpacker's link checks see no link in the prefix.
    QDir().mkpath(job.tempFolder);
    QString temp = QFileInfo(job.tempFolder).canonicalFilePath();
    if (temp.isEmpty()) temp = job.tempFolder;
    const QString folder =
        temp + "/Seamwright-update-" + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    QDir().mkpath(folder);
    const QString archivePath = folder + "/update.zip";
    {
        QFile file(archivePath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(job.archive) != job.archive.size() || !file.flush())
            return failed("write", folder);
    }

    std::string reason;
    const bool unpacked =
        unpackZip(std::span<const char>(job.archive.constData(), size_t(job.archive.size())),
                  folder.toStdString(), reason);
    if (!unpacked) log("update unzip refused: " + reason);
    const QString fresh = folder + "/" + kBundleName;
    const auto bundle = unpacked ? readBundle(fresh) : std::nullopt;
    if (!bundle || bundle->identifier != job.identifier ||
        bundle->version != QString::fromStdString(job.entry.version))
        return failed("unzip/version", folder);

    const QString home = QFileInfo(job.target).absolutePath();
    if (::access(QFile::encodeName(home).constData(), W_OK) != 0)
        return failed("not writable " + home.toStdString(), folder);

    const QString script = folder + "/swap.sh";
    {
        QSaveFile file(script);
        const QByteArray text(kSwapScript);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
            return failed("script", folder);
    }

    QProcess sh;
    sh.setProgram("/bin/sh");
    sh.setArguments({script, job.target, fresh, QString::number(job.pid), job.logFile});
    sh.setStandardInputFile(QProcess::nullDevice());
    sh.setStandardOutputFile(QProcess::nullDevice());
    sh.setStandardErrorFile(QProcess::nullDevice());
    if (!sh.startDetached()) return failed("launch script", folder);
    return InstallOutcome{true, {}, folder};
}

}  // namespace seam
