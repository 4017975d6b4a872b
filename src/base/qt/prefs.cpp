#include "base/qt/prefs.h"

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>
#include <QStandardPaths>
#include <QWidget>

#include <cmath>

#include "base/atomic_file.h"
#include "base/dry_run.h"
#include "main/version.h"

namespace seam {

namespace {

// Bytes are kept as {"data": base64} so they cannot be confused with text.
QJsonValue toJson(const SettingValue& value) {
    return std::visit(
        [](const auto& v) -> QJsonValue {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, bool> || std::is_same_v<V, double>)
                return v;
            else if constexpr (std::is_same_v<V, std::int64_t>)
                return static_cast<double>(v);
            else if constexpr (std::is_same_v<V, std::string>)
                return QString::fromStdString(v);
            else
                return QJsonObject{
                    {"data", QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(v.data()),
                                                            qsizetype(v.size()))
                                                     .toBase64())}};
        },
        value);
}

std::optional<SettingValue> fromJson(const QJsonValue& j) {
    if (j.isUndefined() || j.isNull()) return std::nullopt;
    if (j.isBool()) return SettingValue{j.toBool()};
    if (j.isDouble()) {
        const double d = j.toDouble();
        if (std::trunc(d) == d && std::abs(d) < 9.0e15)
            return SettingValue{static_cast<std::int64_t>(d)};
        return SettingValue{d};
    }
    if (j.isObject() && j.toObject().contains("data")) {
        const QByteArray b =
            QByteArray::fromBase64(j.toObject().value("data").toString().toLatin1());
        return SettingValue{Bytes(b.begin(), b.end())};
    }
    return SettingValue{j.toString().toStdString()};
}

QString xdgFolder(const char* var, const char* fallback) {
    const QByteArray v = qgetenv(var);
    if (!v.isEmpty() && QDir::isAbsolutePath(QString::fromLocal8Bit(v)))
        return QString::fromLocal8Bit(v);
    return QDir::homePath() + "/" + fallback;
}

// Killed writers leave their temporary files; one older than this is nobody's.
constexpr double kStaleTemporarySeconds = 600;

}  // namespace

QSettingsStore::QSettingsStore(const QString& folder, const QString& name)
    : folder_(folder), path_(folder + "/" + name + ".json") {
    removeStaleTemporaries(QFile::encodeName(path_).toStdString(), kStaleTemporarySeconds);
    refresh();
}

QSettingsStore::~QSettingsStore() = default;

QSettingsStore::Stamp QSettingsStore::stampNow() const {
    struct stat st {};
    if (::stat(QFile::encodeName(path_).constData(), &st) != 0) return Stamp{};
    return Stamp{true, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

// Another process (or the user) may have written the file since: start from
// what is there, so their keys are kept.
void QSettingsStore::refresh() const {
    const Stamp now = stampNow();
    if (now == seen_) return;
    seen_ = now;
    values_ = QJsonObject();
    QFile file(path_);
    if (!now.exists || !file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) return;  // an empty file is an empty store
    const QJsonDocument doc = QJsonDocument::fromJson(bytes);
    if (doc.isObject()) {
        values_ = doc.object();
        return;
    }
    // The next write replaces the file: keep what could not be read, whole.
    const QString backup = path_ + ".unreadable";
    QFile old(backup);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == bytes) return;
    replaceFileAtomically(QFile::encodeName(backup).toStdString(), bytes.toStdString());
}

void QSettingsStore::write() {
    QDir().mkpath(folder_);
    const QByteArray text = QJsonDocument(values_).toJson(QJsonDocument::Indented);
    if (replaceFileAtomically(QFile::encodeName(path_).toStdString(), text.toStdString()))
        seen_ = stampNow();
}

std::optional<SettingValue> QSettingsStore::object(const std::string& key) const {
    refresh();
    return fromJson(values_.value(QString::fromStdString(key)));
}

void QSettingsStore::set(const std::string& key, std::optional<SettingValue> value) {
    refresh();
    const QString k = QString::fromStdString(key);
    if (value)
        values_.insert(k, toJson(*value));
    else if (values_.contains(k))
        values_.remove(k);
    else
        return;
    write();
}

void QSettingsStore::removeObject(const std::string& key) {
    set(key, std::nullopt);
}

QString QSettingsStore::fileName() const {
    return path_;
}
void QSettingsStore::sync() {}

QString settingsFolder() {
    return xdgFolder("XDG_CONFIG_HOME", ".config") + "/Seamwright";
}

SettingsStore& prefs() {
    static QSettingsStore store(settingsFolder(), dryRun() ? QString(kBundleIdentifier) + ".dryrun"
                                                           : QStringLiteral("Seamwright"));
    return store;
}

SettingsStore& standardDefaults() {
    if (!dryRun()) return prefs();
    static QSettingsStore store(settingsFolder(), QStringLiteral("Seamwright"));
    return store;
}

QString defaultLogPath() {
    return xdgFolder("XDG_STATE_HOME", ".local/state") + "/Seamwright/Seamwright.log";
}

bool renderPNG(QWidget* view, const QString& path) {
    if (!view || view->width() <= 0 || view->height() <= 0) return false;
    const QPixmap pixmap = view->grab();
    if (pixmap.isNull()) return false;
    return pixmap.save(path, "PNG");
}

}  // namespace seam
