#include "update/qt/app_bundle.h"

#include <signal.h>

#include <cerrno>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include "base/log.h"
#include "update/swap_recovery.h"
#include "update/swap_script.h"

namespace seam {

std::optional<QString> plistString(const QByteArray& plist, const QString& key) {
    QXmlStreamReader xml(plist);
    int depth = 0;  // element depth; the top dictionary's members sit at 2
    bool inTopDict = false;
    QString pendingKey;
    bool haveKey = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const auto name = xml.name();
            if (depth == 1 && name != u"plist") return std::nullopt;
            if (depth == 2) inTopDict = name == u"dict";
            if (!inTopDict || depth != 3) continue;
            if (name == u"key") {
                pendingKey = xml.readElementText();
                --depth;
                haveKey = true;
                continue;
            }
            if (haveKey && pendingKey == key) {
                if (name != u"string") return std::nullopt;
                return xml.readElementText();
            }
            haveKey = false;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return std::nullopt;
}

std::optional<BundleInfo> readBundle(const QString& folder) {
    const QFileInfo dir(folder);
    if (!dir.isDir() || dir.isSymLink()) return std::nullopt;
    const QFileInfo program(folder + "/" + kBundleExecutable);
    if (!program.isFile() || !program.isExecutable()) return std::nullopt;
    QFile info(folder + "/" + kBundleInfo);
    if (!info.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray plist = info.read(1 << 20);
    const auto id = plistString(plist, "CFBundleIdentifier");
    const auto version = plistString(plist, "CFBundleShortVersionString");
    if (!id || !version) return std::nullopt;
    return BundleInfo{*id, *version};
}

std::optional<QString> bundleOfProgram(const QString& programPath) {
    const QString program = QFileInfo(programPath).canonicalFilePath();
    const QString tail = QString("/") + kBundleExecutable;
    if (program.isEmpty() || !program.endsWith(tail)) return std::nullopt;
    const QString bundle = program.left(program.size() - tail.size());
    if (!bundle.endsWith(".app") || !readBundle(bundle)) return std::nullopt;
    return bundle;
}

void recoverSwapAtLaunch(const QString& programPath) {
    // Not canonical: the bundle may be the half-moved one being put right.
    const QString program = QFileInfo(programPath).absoluteFilePath();
    const QString tail = QString("/") + kBundleExecutable;
    if (!program.endsWith(tail)) return;
    const QString bundle = program.left(program.size() - tail.size());
    if (!bundle.endsWith(".app")) return;
    const SwapRecoveryProbe probe{
        [](const std::string& folder) {
            return readBundle(QString::fromStdString(folder)).has_value();
        },
        [](long pid) { return ::kill(pid_t(pid), 0) == 0 || errno == EPERM; }};
    for (const auto& line : recoverInterruptedSwap(bundle.toStdString(), probe)) log(line);
}

}  // namespace seam
